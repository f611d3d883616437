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
  SkinnedVertex v{};
  v.position[0] = position.x;
  v.position[1] = position.y;
  v.position[2] = position.z;
  v.normal[0] = normal.x;
  v.normal[1] = normal.y;
  v.normal[2] = normal.z;
  for (int i = 0; i < 3; ++i) v.blendWeights[i] = weights[static_cast<size_t>(i)];
  for (int i = 0; i < 4; ++i) v.boneIndices[i] = bones[static_cast<size_t>(i)];
  v.texCoord[0] = 0.25f;
  v.texCoord[1] = 0.75f;
  return v;
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

TEST(SkinVertices, SplitsAVertexBetweenTwoBones) {
  std::vector<WeaponVertex> out;
  SkinVertices({Vertex({0, 1, 0}, {0, 0, 1}, {0.5f, 0.5f, 0}, {0, 1, 3, 3})}, kMatrices, out);
  ASSERT_EQ(1u, out.size());
  ExpectVecNear({1, 1, 0}, PositionOf(out[0]));
  ExpectVecNear({0, 0, 1}, NormalOf(out[0]));  // translation does not move normals
  EXPECT_EQ(0.25f, out[0].texCoord[0]);
  EXPECT_EQ(0.75f, out[0].texCoord[1]);
}

TEST(SkinVertices, ThreeWeightsSummingToOneLeaveNothingForTheFourthBone) {
  std::vector<WeaponVertex> out;
  SkinVertices({Vertex({1, 0, 0}, {1, 0, 0}, {0.2f, 0.3f, 0.5f}, {0, 1, 2, 3})}, kMatrices, out);
  // 0.2 (1, 0, 0) + 0.3 (3, 0, 0) + 0.5 (0, 1, 4)
  ExpectVecNear({1.1f, 0.5f, 2.0f}, PositionOf(out[0]), 1e-5f);
  ExpectVecNear({0.5f, 0.5f, 0}, NormalOf(out[0]), 1e-5f);  // blended, not renormalised
}

TEST(SkinVertices, TheFourthBoneTakesWhatTheThreeWeightsLeave) {
  std::vector<WeaponVertex> out;
  SkinVertices({Vertex({0, 0, 0}, {0, 1, 0}, {0.25f, 0.25f, 0}, {0, 0, 3, 1})}, kMatrices, out);
  ExpectVecNear({1, 0, 0}, PositionOf(out[0]));  // half on the identity, half on bone 1
}

TEST(SkinVertices, RotatesNormalsWithTheirBone) {
  std::vector<WeaponVertex> out;
  SkinVertices({Vertex({1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {2, 3, 3, 3})}, kMatrices, out);
  ExpectVecNear({0, 1, 4}, PositionOf(out[0]));
  ExpectVecNear({0, 1, 0}, NormalOf(out[0]));
}

TEST(SkinVertices, BoneIndicesWithoutAMatrixStandForTheIdentity) {
  std::vector<WeaponVertex> out;
  const std::vector<Matrix4> two(kMatrices.begin(), kMatrices.begin() + 2);
  SkinVertices({Vertex({1, 2, 3}, {0, 0, 1}, {0.5f, 0.5f, 0}, {200, 1, 7, 255})}, two, out);
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
