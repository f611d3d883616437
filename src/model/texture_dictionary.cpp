#include "model/texture_dictionary.h"

#include "base/fourcc.h"
#include "base/messages.h"
#include "base/text.h"
#include "model/rw_chunk.h"

namespace zam {
namespace {

constexpr uint32_t kRasterPalette8 = 0x2000;
constexpr uint32_t kRasterPalette4 = 0x4000;

// Bytes of the native texture Struct read up to and including the name, and
// from there to the end of the first level's size field.
constexpr uint64_t kThroughName = 40;        // platform, filtering and addressing, name
constexpr uint64_t kNameToLevelSize = 52;    // mask name, raster format, D3D format, 2+2, 1+3, level size

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
    if (txd.Read<uint32_t>() != kRwPlatformD3D9) return load.Fail(Message::RwUnknownTexturePlatform);
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
  txd.SeekTo(nativeStruct.body + 8);
  char name[32];
  txd.ReadBytes(name, sizeof name);
  if (!load.Holds(txd, nativeStruct, kNameToLevelSize, damaged)) return false;
  txd.Skip(32);  // mask name
  uint32_t rasterFormat = txd.Read<uint32_t>();
  uint32_t format = txd.Read<uint32_t>();
  uint32_t width = txd.Read<uint16_t>();
  uint32_t height = txd.Read<uint16_t>();
  txd.Skip(4);  // depth, level count, raster type, flags
  uint32_t levelSize = txd.Read<uint32_t>();

  uint32_t rowSize = 0, rowCount = 0;
  // A palette would stand between the header and the level data; it is not read.
  if ((rasterFormat & (kRasterPalette8 | kRasterPalette4)) != 0 ||
      !TextureRowLayout(format, width, height, rowSize, rowCount)) {
    return load.Fail(Message::RwUnknownTextureFormat);
  }
  uint64_t imageBytes = static_cast<uint64_t>(rowSize) * rowCount;
  if (width == 0 || height == 0 || levelSize < imageBytes) return load.Fail(damaged);
  if (!load.Holds(txd, nativeStruct, levelSize, damaged)) return false;

  image.name = NameText(name);
  image.format = format;
  image.width = width;
  image.height = height;
  image.rowSize = rowSize;
  image.rowCount = rowCount;
  // Taken whole (checked above) and copied once, without a zero-fill first.
  const uint8_t* level0 = txd.Take(static_cast<size_t>(imageBytes));
  image.level0.assign(level0, level0 + imageBytes);
  return true;
}

}  // namespace zam
