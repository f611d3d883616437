#include "preview/cpu_skinning.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "../math/math_expect.h"
#include "math/matrix.h"

namespace zam {
namespace {

using test::ExpectVecNear;

SkinnedVertex Vertex(Vec3 position, Vec3 normal, std::array<float, 3> weights, std::array<uint8_t, 4> bones) {
  return {{position.x, position.y, position.z}, {weights[0], weights[1], weights[2]},
          {bones[0], bones[1], bones[2], bones[3]}, {normal.x, normal.y, normal.z}, {0.25f, 0.75f}};
}

Vec3 PositionOf(const WeaponVertex& v) { return {v.position[0], v.position[1], v.position[2]}; }
Vec3 NormalOf(const WeaponVertex& v) { return {v.normal[0], v.normal[1], v.normal[2]}; }

const float kHalfSqrt2 = std::sqrt(0.5f);

// Matrix 3 is absurd on purpose: a vertex that gives it no weight must not
// show any of it.
const std::vector<Matrix4> kMatrices = {
    IdentityMatrix(),
    TranslationMatrix({2, 0, 0}),
    Multiply(RotationMatrix({0, 0, kHalfSqrt2, kHalfSqrt2}), TranslationMatrix({0, 0, 4})),
    Multiply(ScalingMatrix({100, 100, 100}), TranslationMatrix({50, 50, 50})),
};

TEST(SkinVertices, BlendsUpToFourBonesByTheirWeights) {
  const struct {
    SkinnedVertex vertex;
    Vec3 position, normal;
  } cases[] = {
      // Split between two bones; translation does not move normals.
      {Vertex({0, 1, 0}, {0, 0, 1}, {0.5f, 0.5f, 0}, {0, 1, 3, 3}), {1, 1, 0}, {0, 0, 1}},
      // 0.2 (1, 0, 0) + 0.3 (3, 0, 0) + 0.5 (0, 1, 4): nothing left for the fourth bone; normals not renormalised.
      {Vertex({1, 0, 0}, {1, 0, 0}, {0.2f, 0.3f, 0.5f}, {0, 1, 2, 3}), {1.1f, 0.5f, 2.0f}, {0.5f, 0.5f, 0}},
      // The fourth bone takes what the three weights leave.
      {Vertex({0, 0, 0}, {0, 1, 0}, {0.25f, 0.25f, 0}, {0, 0, 3, 1}), {1, 0, 0}, {0, 1, 0}},
      // Normals turn with their bone.
      {Vertex({1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {2, 3, 3, 3}), {0, 1, 4}, {0, 1, 0}},
  };
  for (const auto& c : cases) {
    std::vector<WeaponVertex> out;
    SkinVertices({c.vertex}, kMatrices, out);
    ASSERT_EQ(1u, out.size());
    ExpectVecNear(c.position, PositionOf(out[0]), 1e-5f);
    ExpectVecNear(c.normal, NormalOf(out[0]), 1e-5f);
    EXPECT_EQ(0.75f, out[0].texCoord[1]);
  }
}

TEST(SkinVertices, BoneIndicesWithoutAMatrixStandForTheIdentity) {
  std::vector<WeaponVertex> out;
  SkinVertices({Vertex({1, 2, 3}, {0, 0, 1}, {0.5f, 0.5f, 0}, {200, 1, 7, 255})}, {kMatrices[0], kMatrices[1]}, out);
  ExpectVecNear({2, 2, 3}, PositionOf(out[0]));
  SkinVertices({Vertex({1, 2, 3}, {0, 0, 1}, {0.5f, 0.5f, 0}, {0, 1, 0, 0})}, {}, out);
  ExpectVecNear({1, 2, 3}, PositionOf(out[0]));
}

TEST(SkinVertices, FollowsTheMeshSizeAndReusesTheOutput) {
  std::vector<SkinnedVertex> mesh(100, Vertex({0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, 1, 0, 0}));
  std::vector<WeaponVertex> out;
  SkinVertices(mesh, kMatrices, out);
  ASSERT_EQ(100u, out.size());
  const WeaponVertex* storage = out.data();
  SkinVertices(mesh, kMatrices, out);
  EXPECT_EQ(storage, out.data());
  ExpectVecNear({2, 0, 0}, PositionOf(out[99]));
  SkinVertices({}, kMatrices, out);
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace zam
