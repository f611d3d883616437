#pragma once
// Textures of a TXD dictionary (Direct3D 8 and Direct3D 9 native textures):
// finding one by name and reading its first level into a TextureImage.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/model_data.h"
#include "model/rw_load.h"

namespace zam {

inline constexpr uint32_t kRwPlatformD3D8 = 8;
inline constexpr uint32_t kRwPlatformD3D9 = 9;

// Raster format flags: the pixel format in bits 8 to 11, and the palettes.
inline constexpr uint32_t kRasterPixelFormat = 0x0F00;
inline constexpr uint32_t kRasterPalette8 = 0x2000;
inline constexpr uint32_t kRasterPalette4 = 0x4000;

// The stored layout of level 0 of a `format` texture of width x height: the
// bytes of one row (a row of 4x4 blocks for DXT formats) and the number of
// rows. False for formats whose size is not known, P8 included (its layout
// comes with the palette).
bool TextureRowLayout(uint32_t format, uint32_t width, uint32_t height, uint32_t& rowSize, uint32_t& rowCount);

// Finds TextureDictionary and its Struct in the load's TXD and sets
// `firstTexture` to the position after the Struct's texture count and
// device ID, where the first texture's header stands.
bool OpenTextureDictionary(RwLoad& load, size_t& firstTexture);

// Looks for the texture named `name` (compared without regard to case) among
// the dictionary's textures. `found` is false when no texture carries the
// name, which is no failure; on a match `nativeStruct` is the texture's
// Struct and the TXD stands just after the stored name. Returns false when
// the load failed (a missing Struct, a platform other than Direct3D 8 or 9).
bool FindDictionaryTexture(RwLoad& load, size_t firstTexture, const std::string& name, bool& found,
                           RwSection& nativeStruct);

// Reads the rest of the matched texture's Struct: its format, size, palette
// and the first level's data. Other levels are not read. A format the
// loader does not know is no failure: the image then has no level.
bool ReadTextureImage(RwLoad& load, const RwSection& nativeStruct, TextureImage& image);

}  // namespace zam
