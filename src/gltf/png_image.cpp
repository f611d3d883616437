#include "gltf/png_image.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace zam {

std::vector<uint8_t> EncodePng(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t height) {
  std::vector<uint8_t> png;
  if (width == 0 || height == 0 || rgba.size() != static_cast<size_t>(width) * height * 4) return png;
  auto append = [](void* context, void* data, int size) {
    auto* bytes = static_cast<const uint8_t*>(data);
    static_cast<std::vector<uint8_t>*>(context)->insert(static_cast<std::vector<uint8_t>*>(context)->end(), bytes,
                                                        bytes + size);
  };
  if (!stbi_write_png_to_func(append, &png, static_cast<int>(width), static_cast<int>(height), 4, rgba.data(),
                              static_cast<int>(width * 4))) {
    png.clear();
  }
  return png;
}

}  // namespace zam
