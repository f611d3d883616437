#pragma once
// Level 0 of a dictionary texture as 32-bit A8R8G8B8 pixels, for devices
// that refuse the texture's own format (24-bit and some packed formats are
// widely refused). Block-compressed formats are not converted.

#include <cstdint>
#include <vector>

#include "model/model_data.h"

namespace zam {

inline constexpr uint32_t kFormatA8R8G8B8 = 21;  // D3DFMT_A8R8G8B8

// Fills `pixels` with width x height values 0xAARRGGBB, row by row; false
// for formats it does not know (DXT among them).
bool ConvertToA8R8G8B8(const TextureImage& image, std::vector<uint32_t>& pixels);

}  // namespace zam
