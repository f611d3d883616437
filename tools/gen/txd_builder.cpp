#include "txd_builder.h"

#include "rw_writer.h"

namespace zam::gen {
namespace {

constexpr uint16_t kDeviceD3D8 = 1;
constexpr uint16_t kDeviceD3D9 = 2;
constexpr uint32_t kFilterLinearWrap = 0x1106;
constexpr uint8_t kAlphaFlag = 0x01;
constexpr uint8_t kCompressedFlag = 0x08;

bool IsDxt(uint32_t format) { return (format & 0xFFFFFF) == (FourCC("DXT1") & 0xFFFFFF); }

uint8_t Depth(const TextureDesc& t) {
  switch (t.format) {
    case kD3dFormatP8: return (t.rasterFormat & 0x4000) ? 4 : 8;
    case kD3dFormatR8G8B8: return 24;
    case kD3dFormatA8R8G8B8:
    case kD3dFormatX8R8G8B8: return 32;
    default: return 16;  // the 16-bit formats, and what DXT rasters were made from
  }
}

void WriteTexture(RwWriter& w, const TextureDesc& t) {
  const uint32_t pixelFormat = t.rasterFormat & 0x0F00;
  const bool alpha = pixelFormat == 0x0100 || pixelFormat == 0x0300 || pixelFormat == 0x0500;  // 1555, 4444, 8888
  w.Open(kRwTextureNative);
  w.Open(kRwStruct).U32(t.platform).U32(kFilterLinearWrap);
  w.Text(t.name, 32).Text(t.mask, 32);
  w.U32(t.rasterFormat).U32(t.platform == kPlatformD3D8 ? (alpha ? 1 : 0) : t.format).U16(t.width).U16(t.height);
  w.U8(Depth(t)).U8(static_cast<uint8_t>(1 + t.extraLevels)).U8(4);
  if (t.platform == kPlatformD3D8) {
    w.U8(IsDxt(t.format) ? static_cast<uint8_t>((t.format >> 24) - '0') : 0);  // the DXT number
  } else {
    w.U8(static_cast<uint8_t>((alpha ? kAlphaFlag : 0) | (IsDxt(t.format) ? kCompressedFlag : 0)));
  }
  w.Bytes(t.palette.data(), t.palette.size());
  w.U32(t.levelSizeOverride.value_or(static_cast<uint32_t>(t.level0.size())));
  w.Bytes(t.level0.data(), t.level0.size());
  size_t size = t.level0.size();
  for (int level = 0; level < t.extraLevels; ++level) {
    size = size / 4 > 8 ? size / 4 : 8;
    w.U32(static_cast<uint32_t>(size)).Zeros(size);
  }
  w.Close();
  w.Open(kRwExtension).Close();
  w.Close();
}

}  // namespace

std::vector<uint8_t> BuildTxd(const DictionaryDesc& desc) {
  RwWriter w(desc.stamp);
  w.Open(kRwTextureDictionary);
  const bool d3d8 = !desc.textures.empty() && desc.textures[0].platform == kPlatformD3D8;
  w.Open(kRwStruct).U16(static_cast<uint16_t>(desc.textures.size())).U16(d3d8 ? kDeviceD3D8 : kDeviceD3D9).Close();
  for (const TextureDesc& t : desc.textures) WriteTexture(w, t);
  w.Open(kRwExtension).Close();
  w.Close();
  return w.Take();
}

std::vector<uint8_t> CheckerArgb(uint16_t width, uint16_t height, uint32_t colourA, uint32_t colourB, int cell) {
  std::vector<uint8_t> pixels;
  pixels.reserve(size_t{width} * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t c = ((x / cell + y / cell) % 2 == 0) ? colourA : colourB;
      for (int shift = 0; shift < 32; shift += 8) pixels.push_back(static_cast<uint8_t>(c >> shift));
    }
  }
  return pixels;
}

std::vector<uint8_t> CheckerDxt1(uint16_t width, uint16_t height, uint16_t colourA, uint16_t colourB, int cellBlocks) {
  std::vector<uint8_t> blocks;
  int across = (width + 3) / 4, down = (height + 3) / 4;
  for (int by = 0; by < down; ++by) {
    for (int bx = 0; bx < across; ++bx) {
      uint16_t c = ((bx / cellBlocks + by / cellBlocks) % 2 == 0) ? colourA : colourB;
      // Both end points the same colour and every index 0: a solid block.
      uint8_t block[8] = {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c),
                          static_cast<uint8_t>(c >> 8), 0, 0, 0, 0};
      blocks.insert(blocks.end(), block, block + 8);
    }
  }
  return blocks;
}

}  // namespace zam::gen
