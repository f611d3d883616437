// Pose evaluation, skinning and the bone pyramids over records that break
// every rule a loaded model keeps: tables of different lengths, parents and
// node indices anywhere, keys at absurd or unordered times. Run under the
// sanitizers, any read outside a table fails the test.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "math/matrix.h"
#include "preview/cpu_skinning.h"
#include "preview/pose.h"
#include "preview/scene.h"

namespace zam {
namespace {

float Wild(std::mt19937& rng) {
  static const float kSpecial[] = {0.0f, -0.0f, 1.0f, -1.0f, 1e30f, -1e30f, 1e-30f,
                                   std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                                   std::numeric_limits<float>::quiet_NaN()};
  if (rng() % 4 == 0) return kSpecial[rng() % 10];
  return std::uniform_real_distribution<float>(-3.0f, 3.0f)(rng);
}

int32_t AnyIndex(std::mt19937& rng, int limit) { return static_cast<int32_t>(rng() % (limit + 4)) - 2; }

SkinnedModelData WildModel(std::mt19937& rng) {
  SkinnedModelData model;
  const int bones = static_cast<int>(rng() % 8);
  model.boneCount = AnyIndex(rng, bones + 2);
  auto length = [&] { return static_cast<size_t>(rng() % (bones + 2)); };
  model.boneIds.resize(length());
  for (int32_t& id : model.boneIds) id = AnyIndex(rng, 6);
  model.boneNodeIndex.resize(length());
  for (int32_t& node : model.boneNodeIndex) node = AnyIndex(rng, bones);
  model.boneRotation.resize(length());
  for (Matrix4& m : model.boneRotation)
    for (auto& row : m.m)
      for (float& v : row) v = Wild(rng);
  model.bonePosition.resize(length());
  for (Vec3& p : model.bonePosition) p = {Wild(rng), Wild(rng), Wild(rng)};
  model.boneParent.resize(length());
  for (int32_t& parent : model.boneParent) parent = AnyIndex(rng, bones);
  model.inverseBindMatrices.assign(length(), IdentityMatrix());
  return model;
}

AnimPackage WildPackage(std::mt19937& rng) {
  static const uint32_t kTypes[] = {kKeyKR00, kKeyKRT0, kKeyKRTS, 0, FourCC("K__S"), 0xFFFFFFFF};
  AnimPackage package{};
  package.animations.resize(rng() % 3);
  for (Animation& animation : package.animations) {
    animation.bones.resize(rng() % 6);
    for (BoneTrack& track : animation.bones) {
      track.boneId = AnyIndex(rng, 6);
      track.keyType = kTypes[rng() % 6];
      track.keys.resize(rng() % 4);
      for (KeyFrame& key : track.keys) {
        for (float& v : key.rotation) v = Wild(rng);
        for (float& v : key.translation) v = Wild(rng);
        for (float& v : key.scale) v = Wild(rng);
        key.time = Wild(rng);
      }
    }
  }
  return package;
}

TEST(HostileRecords, NeverReadOutsideTheirTables) {
  std::mt19937 rng(2024);
  Pose pose;
  std::vector<BonePyramid> pyramids;
  std::vector<WeaponVertex> skinned;
  std::vector<SkinnedVertex> mesh(16);
  for (SkinnedVertex& v : mesh) {
    for (uint8_t& b : v.boneIndices) b = static_cast<uint8_t>(rng());
    for (float& w : v.blendWeights) w = Wild(rng);
  }
  for (int round = 0; round < 3000; ++round) {
    const SkinnedModelData model = WildModel(rng);
    const AnimPackage package = WildPackage(rng);
    const int animation = AnyIndex(rng, package.animationCount());
    EvaluatePose(package, animation, Wild(rng), model, pose);
    ASSERT_EQ(static_cast<size_t>(PosableBoneCount(model)), pose.boneMatrices.size());
    ASSERT_LE(pose.skinningMatrices.size(), model.inverseBindMatrices.size());
    SkinVertices(mesh, pose.skinningMatrices, skinned);
    CollectBonePyramids(model, AnimationAt(package, animation), pyramids);
    for (const BonePyramid& pyramid : pyramids) {
      ASSERT_GE(pyramid.bone, 0);
      ASSERT_LT(static_cast<size_t>(pyramid.bone), pose.boneMatrices.size());
    }
  }
}

}  // namespace
}  // namespace zam
