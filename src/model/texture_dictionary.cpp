#include "model/texture_dictionary.h"

#include <vector>

#include "base/fourcc.h"
#include "base/messages.h"
#include "base/text.h"
#include "model/rw_chunk.h"

namespace zam {
namespace {

// Bytes of the native texture Struct read up to and including the name, and
// from there to the end of the raster's description.
constexpr uint64_t kThroughName = 40;    // platform, filtering and addressing, name
constexpr uint64_t kNameToPalette = 48;  // mask name, raster format, D3D format or alpha, 2+2, 1+1+1+1
constexpr uint32_t kRasterFormat888 = 0x0600;

struct FormatSize {
  uint32_t format;
  uint32_t bytes;  // per pixel, or per 4x4 block when `blocks`
  bool blocks;
};

constexpr FormatSize kFormatSizes[] = {
    {20, 3, false},                 // R8G8B8
    {21, 4, false},                 // A8R8G8B8
    {22, 4, false},                 // X8R8G8B8
    {23, 2, false},                 // R5G6B5
    {24, 2, false},                 // X1R5G5B5
    {25, 2, false},                 // A1R5G5B5
    {26, 2, false},                 // A4R4G4B4
    {27, 1, false},                 // R3G3B2
    {28, 1, false},                 // A8
    {29, 2, false},                 // A8R3G3B2
    {30, 2, false},                 // X4R4G4B4
    {31, 4, false},                 // A2B10G10R10
    {32, 4, false},                 // A8B8G8R8
    {33, 4, false},                 // X8B8G8R8
    {34, 4, false},                 // G16R16
    {35, 4, false},                 // A2R10G10B10
    {50, 1, false},                 // L8
    {51, 2, false},                 // A8L8
    {52, 1, false},                 // A4L4
    {FourCC("DXT1"), 8, true},
    {FourCC("DXT2"), 16, true},
    {FourCC("DXT3"), 16, true},
    {FourCC("DXT4"), 16, true},
    {FourCC("DXT5"), 16, true},
};

// What a Direct3D 8 texture's level holds: the DXT format its compression
// number (1 to 5) names, or the D3DFORMAT its raster's pixel format is kept
// in; 0 (D3DFMT_UNKNOWN) for neither.
uint32_t Direct3D8Format(uint32_t rasterFormat, uint8_t depth, uint8_t compression) {
  static constexpr uint32_t kDxt[] = {FourCC("DXT1"), FourCC("DXT2"), FourCC("DXT3"), FourCC("DXT4"),
                                      FourCC("DXT5")};
  if (compression >= 1 && compression <= 5) return kDxt[compression - 1];
  switch (rasterFormat & kRasterPixelFormat) {
    case 0x0100: return 25;  // 1555: A1R5G5B5
    case 0x0200: return 23;  // 565: R5G6B5
    case 0x0300: return 26;  // 4444: A4R4G4B4
    case 0x0400: return 50;  // LUM8: L8
    case 0x0500: return 21;  // 8888: A8R8G8B8
    case kRasterFormat888: return depth == 24 ? 20 : 22;  // X8R8G8B8, or R8G8B8 when stored in 3 bytes
    case 0x0A00: return 24;  // 555: X1R5G5B5
    default: return 0;
  }
}

// The `colours` palette entries at the reader, checked to be there, as
// Direct3D stores them: red, green, blue, alpha. A palette of 888 colours
// has no alpha: its entries are opaque.
void ReadPalette(ByteReader& txd, uint32_t colours, bool opaque, std::vector<uint32_t>& palette) {
  palette.assign(256, 0);
  const uint8_t* entry = txd.Take(4 * size_t{colours});
  for (uint32_t i = 0; i < colours; ++i, entry += 4) {
    uint32_t alpha = opaque ? 0xFF : entry[3];
    palette[i] = alpha << 24 | uint32_t{entry[0]} << 16 | uint32_t{entry[1]} << 8 | entry[2];
  }
}

}  // namespace

bool TextureRowLayout(uint32_t format, uint32_t width, uint32_t height, uint32_t& rowSize, uint32_t& rowCount) {
  for (const FormatSize& entry : kFormatSizes) {
    if (entry.format != format) continue;
    if (width > 0xFFFF || height > 0xFFFF) return false;
    if (entry.blocks) {
      rowSize = (width + 3) / 4 * entry.bytes;
      rowCount = (height + 3) / 4;
    } else {
      rowSize = width * entry.bytes;
      rowCount = height;
    }
    return true;
  }
  return false;
}

bool OpenTextureDictionary(RwLoad& load, size_t& firstTexture) {
  ByteReader& txd = load.txd;
  txd.SeekTo(0);
  RwSection dictionaryStruct;
  if (!load.Find(txd, kRwTextureDictionary, Message::RwTextureDictionaryNotFound) ||
      !load.Find(txd, kRwStruct, Message::RwTextureDictionaryStructNotFound, &dictionaryStruct) ||
      !load.Holds(txd, dictionaryStruct, 4, Message::RwTextureDictionaryStructDamaged)) {
    return false;
  }
  txd.Skip(4);  // texture count and device ID
  firstTexture = txd.Position();
  return true;
}

bool FindDictionaryTexture(RwLoad& load, size_t firstTexture, const std::string& name, bool& found,
                           RwSection& nativeStruct) {
  ByteReader& txd = load.txd;
  txd.SeekTo(firstTexture);
  found = false;
  for (;;) {
    if (FindChunk(txd, kRwTextureNative) < 0) return true;  // no such texture: the material stays untextured
    RwSection texture;
    if (!load.Find(txd, kRwStruct, Message::RwTextureNativeStructNotFound, &texture) ||
        !load.Holds(txd, texture, kThroughName, Message::RwTextureNativeStructDamaged)) {
      return false;
    }
    uint32_t platform = txd.Read<uint32_t>();
    if (platform != kRwPlatformD3D8 && platform != kRwPlatformD3D9) return load.Fail(Message::RwUnknownTexturePlatform);
    txd.Skip(4);  // filtering and addressing
    char stored[32];
    txd.ReadBytes(stored, sizeof stored);
    if (NameLength(stored, sizeof stored) == sizeof stored) return load.Fail(Message::RwTextureNativeStructDamaged);
    if (EqualIgnoringAsciiCase(stored, name)) {
      found = true;
      nativeStruct = texture;
      return true;
    }
    // From the Struct's header the next search steps over the Struct and the
    // rest of this texture, so every round moves forward.
    txd.SeekTo(texture.body - sizeof(RwChunkHeader));
  }
}

bool ReadTextureImage(RwLoad& load, const RwSection& nativeStruct, TextureImage& image) {
  ByteReader& txd = load.txd;
  Message damaged = Message::RwTextureNativeStructDamaged;
  txd.SeekTo(nativeStruct.body);
  image.platform = txd.Read<uint32_t>();
  txd.Skip(4);  // filtering and addressing
  char name[32];
  txd.ReadBytes(name, sizeof name);
  if (!load.Holds(txd, nativeStruct, kNameToPalette, damaged)) return false;
  txd.Skip(32);  // mask name
  const uint32_t rasterFormat = txd.Read<uint32_t>();
  const uint32_t formatOrAlpha = txd.Read<uint32_t>();  // Direct3D 8 stores whether the raster has alpha
  const uint32_t width = txd.Read<uint16_t>();
  const uint32_t height = txd.Read<uint16_t>();
  const uint8_t depth = txd.Read<uint8_t>();
  txd.Skip(2);  // level count, raster type
  const uint8_t compression = txd.Read<uint8_t>();  // Direct3D 9 keeps flags here

  // Paletted rasters are kept in P8, one index a pixel, whichever palette.
  const uint32_t colours = rasterFormat & kRasterPalette8 ? 256 : rasterFormat & kRasterPalette4 ? 16 : 0;
  image.name = NameText(name);
  image.rasterFormat = rasterFormat;
  image.format = colours > 0                         ? kFormatP8
                 : image.platform == kRwPlatformD3D8 ? Direct3D8Format(rasterFormat, depth, compression)
                                                     : formatOrAlpha;
  image.width = width;
  image.height = height;
  if (width == 0 || height == 0) return load.Fail(damaged);
  uint32_t rowSize = width, rowCount = height;
  if (colours == 0 && !TextureRowLayout(image.format, width, height, rowSize, rowCount)) return true;
  if (!load.Holds(txd, nativeStruct, 4 * colours + 4, damaged)) return false;
  if (colours > 0) ReadPalette(txd, colours, (rasterFormat & kRasterPixelFormat) == kRasterFormat888, image.palette);
  const uint32_t levelSize = txd.Read<uint32_t>();
  const uint64_t imageBytes = static_cast<uint64_t>(rowSize) * rowCount;
  if (levelSize < imageBytes) return load.Fail(damaged);
  if (!load.Holds(txd, nativeStruct, levelSize, damaged)) return false;

  image.rowSize = rowSize;
  image.rowCount = rowCount;
  // Taken whole (checked above) and copied once, without a zero-fill first.
  const uint8_t* level0 = txd.Take(static_cast<size_t>(imageBytes));
  image.level0.assign(level0, level0 + imageBytes);
  return true;
}

}  // namespace zam
