#pragma once
// Level 0 of a dictionary texture as 32-bit A8R8G8B8 pixels, for devices
// that refuse the texture's own format (24-bit and some packed formats are
// widely refused) and for paletted textures, which are always converted.

#include <cstdint>
#include <vector>

#include "model/model_data.h"

namespace zam {

inline constexpr uint32_t kFormatA8R8G8B8 = 21;  // D3DFMT_A8R8G8B8

// Fills `pixels` with width x height values 0xAARRGGBB, row by row; false
// for formats it does not know and images the loader could not read.
bool ConvertToA8R8G8B8(const TextureImage& image, std::vector<uint32_t>& pixels);

// Whether the device is first offered the image in its own format: not a
// paletted image (the preview sets no device palette), nor one without a level.
bool OffersStoredFormat(const TextureImage& image);

}  // namespace zam
