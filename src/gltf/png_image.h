#pragma once
// RGBA pixels as the bytes of a PNG file, through stb_image_write.

#include <cstdint>
#include <vector>

namespace zam {

// `rgba` holds width x height x 4 bytes, rows from the top. Empty when the
// encoder fails.
std::vector<uint8_t> EncodePng(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height);

}  // namespace zam
