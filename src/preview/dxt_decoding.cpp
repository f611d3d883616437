#include "preview/dxt_decoding.h"

#include <cstring>

#include "base/fourcc.h"

namespace zam {
namespace {

struct Rgb {
  uint32_t r, g, b;
};

// A 5:6:5 colour widened to 8 bits a channel, rounded to nearest.
Rgb Expand565(uint32_t c) {
  return {((c >> 11) * 255 + 15) / 31, ((c >> 5 & 0x3F) * 255 + 31) / 63, ((c & 0x1F) * 255 + 15) / 31};
}

// (weightA x a + weightB x b) / (weightA + weightB), rounded to nearest.
uint32_t Mix(uint32_t a, uint32_t weightA, uint32_t b, uint32_t weightB) {
  const uint32_t total = weightA + weightB;
  return (a * weightA + b * weightB + total / 2) / total;
}

Rgb Mix(const Rgb& a, uint32_t weightA, const Rgb& b, uint32_t weightB) {
  return {Mix(a.r, weightA, b.r, weightB), Mix(a.g, weightA, b.g, weightB), Mix(a.b, weightA, b.b, weightB)};
}

uint32_t Argb(uint32_t alpha, const Rgb& c) { return alpha << 24 | c.r << 16 | c.g << 8 | c.b; }

// The 16 texels of an 8-byte colour block, row by row, opaque. With
// `threeColours` allowed (DXT1) a block whose first end point is not above
// the second has three colours and transparent black.
void DecodeColours(const uint8_t* block, bool threeColours, uint32_t texels[16]) {
  uint16_t c0, c1;
  uint32_t indices;
  std::memcpy(&c0, block, 2);
  std::memcpy(&c1, block + 2, 2);
  std::memcpy(&indices, block + 4, 4);
  const Rgb a = Expand565(c0), b = Expand565(c1);
  uint32_t palette[4] = {Argb(255, a), Argb(255, b), 0, 0};
  if (c0 > c1 || !threeColours) {
    palette[2] = Argb(255, Mix(a, 2, b, 1));
    palette[3] = Argb(255, Mix(a, 1, b, 2));
  } else {
    palette[2] = Argb(255, Mix(a, 1, b, 1));
  }
  for (int i = 0; i < 16; ++i) texels[i] = palette[indices >> (2 * i) & 3];
}

// Four bits of alpha a texel (DXT2, DXT3).
void ApplyExplicitAlpha(const uint8_t* block, uint32_t texels[16]) {
  uint64_t bits;
  std::memcpy(&bits, block, 8);
  for (int i = 0; i < 16; ++i)
    texels[i] = (texels[i] & 0xFFFFFF) | static_cast<uint32_t>(bits >> (4 * i) & 0xF) * 17 << 24;
}

// Two end points and a 3-bit index a texel (DXT4, DXT5): eight alphas
// between the points, or six and the extremes 0 and 255.
void ApplyInterpolatedAlpha(const uint8_t* block, uint32_t texels[16]) {
  const uint32_t a0 = block[0], a1 = block[1];
  uint64_t bits = 0;
  std::memcpy(&bits, block + 2, 6);
  uint32_t alphas[8] = {a0, a1};
  if (a0 > a1) {
    for (uint32_t k = 1; k <= 6; ++k) alphas[k + 1] = Mix(a0, 7 - k, a1, k);
  } else {
    for (uint32_t k = 1; k <= 4; ++k) alphas[k + 1] = Mix(a0, 5 - k, a1, k);
    alphas[6] = 0;
    alphas[7] = 255;
  }
  for (int i = 0; i < 16; ++i) texels[i] = (texels[i] & 0xFFFFFF) | alphas[bits >> (3 * i) & 7] << 24;
}

}  // namespace

bool IsDxtFormat(uint32_t format) {
  return format == FourCC("DXT1") || format == FourCC("DXT2") || format == FourCC("DXT3") || format == FourCC("DXT4") ||
         format == FourCC("DXT5");
}

bool DecodeDxt(const TextureImage& image, std::vector<uint32_t>& pixels) {
  if (!IsDxtFormat(image.format)) return false;
  const bool dxt1 = image.format == FourCC("DXT1");
  const bool explicitAlpha = image.format == FourCC("DXT2") || image.format == FourCC("DXT3");
  const size_t blockSize = dxt1 ? 8 : 16;
  const size_t across = (size_t{image.width} + 3) / 4, down = (size_t{image.height} + 3) / 4;
  if (image.rowSize < across * blockSize || image.rowCount < down ||
      image.level0.size() < static_cast<size_t>(image.rowSize) * down) {
    return false;
  }
  pixels.resize(size_t{image.width} * image.height);
  uint32_t texels[16];
  for (size_t by = 0; by < down; ++by) {
    for (size_t bx = 0; bx < across; ++bx) {
      const uint8_t* block = image.level0.data() + by * image.rowSize + bx * blockSize;
      DecodeColours(dxt1 ? block : block + 8, dxt1, texels);
      if (explicitAlpha) {
        ApplyExplicitAlpha(block, texels);
      } else if (!dxt1) {
        ApplyInterpolatedAlpha(block, texels);
      }
      // Blocks at the right and bottom edges of a size that is no multiple
      // of 4 hold texels beyond the image.
      for (size_t y = 0; y < 4 && by * 4 + y < image.height; ++y) {
        for (size_t x = 0; x < 4 && bx * 4 + x < image.width; ++x) {
          pixels[(by * 4 + y) * image.width + bx * 4 + x] = texels[y * 4 + x];
        }
      }
    }
  }
  return true;
}

}  // namespace zam
