#pragma once
// Shared by the model fuzz targets: splitting one input into a DFF and a
// TXD, and the promises every loaded model keeps, checked whether the load
// succeeded or stopped early.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/model_data.h"
#include "preview/texture_conversion.h"

namespace zam::fuzz {

// The input is a 32-bit little-endian DFF length, that many DFF bytes, and
// the TXD in the rest; no rest means no dictionary. Each part is copied
// into its own buffer so that an overread of either is caught.
struct ModelInput {
  std::vector<uint8_t> dff;
  std::vector<uint8_t> txd;
  bool hasDictionary = false;

  ModelInput(const uint8_t* data, size_t size) {
    uint32_t dffSize = 0;
    if (size >= 4) std::memcpy(&dffSize, data, 4);
    size_t rest = size >= 4 ? size - 4 : 0;
    size_t take = dffSize < rest ? dffSize : rest;
    dff.assign(data + (size - rest), data + (size - rest) + take);
    txd.assign(data + (size - rest) + take, data + size);
    hasDictionary = !txd.empty();
  }
  const uint8_t* Dictionary() const { return hasDictionary ? txd.data() : nullptr; }
};

inline void Require(bool promise) {
  if (!promise) __builtin_trap();
}

inline void CheckMesh(const MeshData& mesh, size_t vertexCount) {
  for (const MaterialMesh& material : mesh.materials) {
    for (uint32_t index : material.indices) Require(index < vertexCount);
    Require(material.textureIndex >= -1 && material.textureIndex < static_cast<int32_t>(mesh.textures.size()));
  }
  std::vector<uint32_t> pixels;
  for (const TextureImage& texture : mesh.textures) {
    Require(texture.level0.size() == static_cast<size_t>(texture.rowSize) * texture.rowCount);
    Require(texture.width > 0 && texture.height > 0);
    Require(texture.palette.empty() || texture.palette.size() == 256);
    // What the preview converts, decoded within the level and into the image's size.
    if (ConvertToA8R8G8B8(texture, pixels)) Require(pixels.size() == size_t{texture.width} * texture.height);
  }
}

}  // namespace zam::fuzz
