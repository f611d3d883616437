#pragma once
// Builds TXD texture dictionaries of Direct3D 9 and Direct3D 8 native
// textures, and the pixel data of simple test images.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/fourcc.h"
#include "model/rw_chunk.h"

namespace zam::gen {

inline constexpr uint32_t kD3dFormatR8G8B8 = 20;
inline constexpr uint32_t kD3dFormatA8R8G8B8 = 21;
inline constexpr uint32_t kD3dFormatX8R8G8B8 = 22;
inline constexpr uint32_t kD3dFormatR5G6B5 = 23;
inline constexpr uint32_t kD3dFormatX1R5G5B5 = 24;
inline constexpr uint32_t kD3dFormatA1R5G5B5 = 25;
inline constexpr uint32_t kD3dFormatA4R4G4B4 = 26;
inline constexpr uint32_t kD3dFormatDxt1 = FourCC("DXT1");
inline constexpr uint32_t kD3dFormatDxt3 = FourCC("DXT3");
inline constexpr uint32_t kD3dFormatDxt5 = FourCC("DXT5");
inline constexpr uint32_t kD3dFormatP8 = 41;

inline constexpr uint32_t kPlatformD3D8 = 8;
inline constexpr uint32_t kPlatformD3D9 = 9;

struct TextureDesc {
  std::string name;
  std::string mask;
  uint32_t platform = kPlatformD3D9;
  uint32_t rasterFormat = 0x0500;  // 8888; 0x2000 and 0x4000 mark palettes of 256 and 16 colours
  // What the level holds (P8 for a palette). Direct3D 9 stores it; Direct3D
  // 8 stores whether the raster has alpha instead and the DXT number.
  uint32_t format = kD3dFormatA8R8G8B8;
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint8_t> level0;
  std::vector<uint8_t> palette;               // red, green, blue, alpha a colour; written before the levels
  std::optional<uint32_t> levelSizeOverride;  // written instead of level0.size()
  int extraLevels = 0;                        // smaller levels after the first, zero-filled
};

struct DictionaryDesc {
  std::vector<TextureDesc> textures;
  uint32_t stamp = kRwLibraryStamp;
};

std::vector<uint8_t> BuildTxd(const DictionaryDesc& desc);

// A8R8G8B8 pixels (stored B, G, R, A) in a checkerboard of `cell`-pixel squares.
std::vector<uint8_t> CheckerArgb(uint16_t width, uint16_t height, uint32_t colourA, uint32_t colourB, int cell);
// DXT1 blocks, each a solid colour (R5G6B5) chosen from a checkerboard of
// `cellBlocks`-block squares.
std::vector<uint8_t> CheckerDxt1(uint16_t width, uint16_t height, uint16_t colourA, uint16_t colourB, int cellBlocks);

}  // namespace zam::gen
