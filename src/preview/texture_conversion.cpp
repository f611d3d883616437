#include "preview/texture_conversion.h"

#include <cstring>

#include "preview/dxt_decoding.h"

namespace zam {
namespace {

// A field of `bits` bits at `shift` of `value`, widened to 8 bits.
uint32_t Channel(uint32_t value, int shift, int bits) {
  if (bits == 0) return 0;
  uint32_t field = value >> shift & ((1u << bits) - 1);
  return static_cast<uint32_t>((field * 255 + ((1u << bits) - 1) / 2) / ((1u << bits) - 1));
}

uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

// Where each channel lies in a packed little-endian pixel; bits 0 means the
// channel is absent (alpha then reads opaque, colour 0).
struct PackedLayout {
  uint32_t format;
  uint32_t bytes;
  int aShift, aBits, rShift, rBits, gShift, gBits, bShift, bBits;
};

constexpr PackedLayout kLayouts[] = {
    {20, 3, 0, 0, 16, 8, 8, 8, 0, 8},     // R8G8B8
    {21, 4, 24, 8, 16, 8, 8, 8, 0, 8},    // A8R8G8B8
    {22, 4, 0, 0, 16, 8, 8, 8, 0, 8},     // X8R8G8B8
    {23, 2, 0, 0, 11, 5, 5, 6, 0, 5},     // R5G6B5
    {24, 2, 0, 0, 10, 5, 5, 5, 0, 5},     // X1R5G5B5
    {25, 2, 15, 1, 10, 5, 5, 5, 0, 5},    // A1R5G5B5
    {26, 2, 12, 4, 8, 4, 4, 4, 0, 4},     // A4R4G4B4
    {27, 1, 0, 0, 5, 3, 2, 3, 0, 2},      // R3G3B2
    {28, 1, 0, 8, 0, 0, 0, 0, 0, 0},      // A8
    {29, 2, 8, 8, 5, 3, 2, 3, 0, 2},      // A8R3G3B2
    {30, 2, 0, 0, 8, 4, 4, 4, 0, 4},      // X4R4G4B4
    {31, 4, 30, 2, 0, 10, 10, 10, 20, 10},  // A2B10G10R10
    {32, 4, 24, 8, 0, 8, 8, 8, 16, 8},    // A8B8G8R8
    {33, 4, 0, 0, 0, 8, 8, 8, 16, 8},     // X8B8G8R8
    {34, 4, 0, 0, 0, 16, 16, 16, 0, 0},   // G16R16 (blue reads full)
    {35, 4, 30, 2, 20, 10, 10, 10, 0, 10},  // A2R10G10B10
};

uint32_t PackedPixel(const PackedLayout& layout, uint32_t value) {
  uint32_t a = layout.aBits ? Channel(value, layout.aShift, layout.aBits) : 255;
  uint32_t b = layout.format == 34 ? 255 : Channel(value, layout.bShift, layout.bBits);
  return Argb(a, Channel(value, layout.rShift, layout.rBits), Channel(value, layout.gShift, layout.gBits), b);
}

// Luminance formats: grey with its own alpha.
bool LuminancePixel(uint32_t format, uint32_t value, uint32_t& pixel) {
  uint32_t l, a;
  switch (format) {
    case 50:  // L8
      l = value & 0xFF;
      a = 255;
      break;
    case 51:  // A8L8
      l = value & 0xFF;
      a = value >> 8 & 0xFF;
      break;
    case 52:  // A4L4
      l = Channel(value, 0, 4);
      a = Channel(value, 4, 4);
      break;
    default:
      return false;
  }
  pixel = Argb(a, l, l, l);
  return true;
}

uint32_t BytesPerPixel(uint32_t format) {
  for (const PackedLayout& layout : kLayouts) {
    if (layout.format == format) return layout.bytes;
  }
  return format == 50 || format == 52 ? 1 : format == 51 ? 2 : 0;
}

// Each index byte looks up its colour; the palette has an entry for every byte.
bool ConvertPaletted(const TextureImage& image, std::vector<uint32_t>& pixels) {
  if (image.palette.size() != 256 || image.rowSize < image.width ||
      image.level0.size() < static_cast<size_t>(image.rowSize) * image.height) {
    return false;
  }
  pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (uint32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.level0.data() + static_cast<size_t>(y) * image.rowSize;
    uint32_t* out = pixels.data() + static_cast<size_t>(y) * image.width;
    for (uint32_t x = 0; x < image.width; ++x) out[x] = image.palette[row[x]];
  }
  return true;
}

}  // namespace

bool OffersStoredFormat(const TextureImage& image) { return image.palette.empty() && !image.level0.empty(); }

bool ConvertToA8R8G8B8(const TextureImage& image, std::vector<uint32_t>& pixels) {
  if (image.format == kFormatP8) return ConvertPaletted(image, pixels);
  if (IsDxtFormat(image.format)) return DecodeDxt(image, pixels);
  const uint32_t bytes = BytesPerPixel(image.format);
  if (bytes == 0 || image.rowSize < image.width * bytes ||
      image.level0.size() < static_cast<size_t>(image.rowSize) * image.height) {
    return false;
  }
  const PackedLayout* layout = nullptr;
  for (const PackedLayout& candidate : kLayouts) {
    if (candidate.format == image.format) layout = &candidate;
  }
  pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (uint32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = image.level0.data() + static_cast<size_t>(y) * image.rowSize;
    for (uint32_t x = 0; x < image.width; ++x) {
      uint32_t value = 0;
      std::memcpy(&value, row + static_cast<size_t>(x) * bytes, bytes);
      uint32_t& pixel = pixels[static_cast<size_t>(y) * image.width + x];
      if (layout) {
        pixel = PackedPixel(*layout, value);
      } else {
        LuminancePixel(image.format, value, pixel);
      }
    }
  }
  return true;
}

}  // namespace zam
