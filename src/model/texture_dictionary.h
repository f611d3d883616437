#pragma once
// Textures of a TXD dictionary (Direct3D 9 native textures): finding one by
// name and reading its first level into a TextureImage.

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/model_data.h"
#include "model/rw_load.h"

namespace zam {

inline constexpr uint32_t kRwPlatformD3D9 = 9;

// The stored layout of level 0 of a `format` texture of width x height: the
// bytes of one row (a row of 4x4 blocks for DXT formats) and the number of
// rows. False for formats whose size is not known, paletted ones included.
bool TextureRowLayout(uint32_t format, uint32_t width, uint32_t height, uint32_t& rowSize, uint32_t& rowCount);

// Finds TextureDictionary and its Struct in the load's TXD and sets
// `firstTexture` to the position after the Struct's texture count and
// device ID, where the first texture's header stands.
bool OpenTextureDictionary(RwLoad& load, size_t& firstTexture);

// Looks for the texture named `name` (compared without regard to case) among
// the dictionary's textures. `found` is false when no texture carries the
// name, which is no failure; on a match `nativeStruct` is the texture's
// Struct and the TXD stands just after the stored name. Returns false when
// the load failed (a missing Struct, a platform other than Direct3D 9).
bool FindDictionaryTexture(RwLoad& load, size_t firstTexture, const std::string& name, bool& found,
                           RwSection& nativeStruct);

// Reads the rest of the matched texture's Struct: its format, size and the
// first level's data. Other levels are not read.
bool ReadTextureImage(RwLoad& load, const RwSection& nativeStruct, TextureImage& image);

}  // namespace zam
