#include "preview/cpu_skinning.h"

#include "math/matrix.h"

namespace zam {
namespace {

const Matrix4 kIdentity = IdentityMatrix();

// The weighted sum of the four bone matrices. v x (sum of w M) equals the sum
// of w (v x M), and blending the 12 used entries once is cheaper than
// transforming position and normal four times.
struct BlendedMatrix {
  float m[4][3];
};

void AddWeighted(BlendedMatrix& blend, const Matrix4& matrix, float weight) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) blend.m[r][c] += weight * matrix.m[r][c];
  }
}

}  // namespace

void SkinVertices(const SkinnedVertex* vertices, size_t count, const Matrix4* matrices, size_t matrixCount,
                  WeaponVertex* out) {
  for (size_t v = 0; v < count; ++v) {
    const SkinnedVertex& in = vertices[v];
    const float* w = in.blendWeights;
    const float weights[4] = {w[0], w[1], w[2], 1.0f - w[0] - w[1] - w[2]};
    BlendedMatrix blend{};
    for (int b = 0; b < 4; ++b) {
      const size_t index = in.boneIndices[b];
      AddWeighted(blend, index < matrixCount ? matrices[index] : kIdentity, weights[b]);
    }
    const float* p = in.position;
    const float* n = in.normal;
    WeaponVertex& o = out[v];
    for (int c = 0; c < 3; ++c) {
      o.position[c] = p[0] * blend.m[0][c] + p[1] * blend.m[1][c] + p[2] * blend.m[2][c] + blend.m[3][c];
      o.normal[c] = n[0] * blend.m[0][c] + n[1] * blend.m[1][c] + n[2] * blend.m[2][c];
    }
    o.texCoord[0] = in.texCoord[0];
    o.texCoord[1] = in.texCoord[1];
  }
}

void SkinVertices(const std::vector<SkinnedVertex>& vertices, const std::vector<Matrix4>& matrices,
                  std::vector<WeaponVertex>& out) {
  out.resize(vertices.size());
  SkinVertices(vertices.data(), vertices.size(), matrices.data(), matrices.size(), out.data());
}

}  // namespace zam
