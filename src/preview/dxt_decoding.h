#pragma once
// Block-compressed (DXT) texture levels decoded to 32-bit A8R8G8B8 pixels on
// the CPU, for devices that refuse the compressed format and for reports.

#include <cstdint>
#include <vector>

#include "model/model_data.h"

namespace zam {

// True for the five DXT FOURCCs.
bool IsDxtFormat(uint32_t format);

// Fills `pixels` with the image's width x height values 0xAARRGGBB, row by
// row; false when the image is no DXT image or its level is short. DXT2 and
// DXT4 differ from DXT3 and DXT5 only in colours stored multiplied by their
// alpha; they are decoded alike, which leaves translucent texels darker.
bool DecodeDxt(const TextureImage& image, std::vector<uint32_t>& pixels);

}  // namespace zam
