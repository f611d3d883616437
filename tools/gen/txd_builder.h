#pragma once
// Builds TXD texture dictionaries of Direct3D 9 native textures, and the
// pixel data of simple test images in the formats the editor draws.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/fourcc.h"
#include "model/rw_chunk.h"

namespace zam::gen {

inline constexpr uint32_t kD3dFormatA8R8G8B8 = 21;
inline constexpr uint32_t kD3dFormatR5G6B5 = 23;
inline constexpr uint32_t kD3dFormatDxt1 = FourCC("DXT1");
inline constexpr uint32_t kD3dFormatDxt5 = FourCC("DXT5");
inline constexpr uint32_t kD3dFormatP8 = 41;

struct TextureDesc {
  std::string name;
  std::string mask;
  uint32_t platform = 9;          // Direct3D 9
  uint32_t rasterFormat = 0x0500; // 8888; 0x2000 marks a palette
  uint32_t format = kD3dFormatA8R8G8B8;
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint8_t> level0;
  std::vector<uint8_t> palette;               // written before the levels when not empty
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
