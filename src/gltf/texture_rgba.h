#pragma once
// Level 0 of a dictionary texture as 8-bit RGBA pixels (R, G, B, A bytes,
// rows from the top), the form image files take: packed and luminance
// formats as the preview converts them, and the block-compressed DXT1 to
// DXT5 decoded block by block.

#include <cstdint>
#include <vector>

#include "model/model_data.h"

namespace zam {

// Fills `rgba` with width x height x 4 bytes; false for a format it does
// not know, or a level smaller than its size says.
bool TextureToRgba(const TextureImage& image, std::vector<uint8_t>& rgba);

}  // namespace zam
