#pragma once
// Skinning of the character mesh on the CPU. The device's indexed vertex
// blending is not available everywhere (Wine's fixed-function pipeline
// ignores it, and many drivers report no blend matrices), so the blend is
// computed here and the result drawn as a plain position/normal/texture mesh.

#include <cstddef>
#include <vector>

#include "math/types.h"
#include "model/model_data.h"

namespace zam {

// The blended vertex has the WeaponVertex layout (kWeaponVertexFvf, 0x112),
// ready for a dynamic vertex buffer.
//
// A vertex with weights w0, w1, w2 and bone indices i0..i3 is placed at
// w0 (v x M[i0]) + w1 (v x M[i1]) + w2 (v x M[i2]) + (1 - w0 - w1 - w2) (v x M[i3]);
// its normal is blended the same way without translation and is not
// renormalised. An index with no matrix behind it (at or beyond
// `matrixCount`) stands for the identity, as an unset world matrix of the
// device does. Writes `count` vertices to `out`; allocates nothing.
void SkinVertices(const SkinnedVertex* vertices, size_t count, const Matrix4* matrices, size_t matrixCount,
                  WeaponVertex* out);

// The same over whole arrays; `out` is resized to match, which allocates only
// when it grows.
void SkinVertices(const std::vector<SkinnedVertex>& vertices, const std::vector<Matrix4>& matrices,
                  std::vector<WeaponVertex>& out);

}  // namespace zam
