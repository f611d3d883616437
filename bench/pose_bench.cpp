// Pose evaluation and CPU skinning at the sizes of a game character: 32
// bones, 32 tracks of 120 keys, 30,000 vertices. Both run once per preview
// frame.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "math/matrix.h"
#include "preview/cpu_skinning.h"
#include "preview/pose.h"

namespace {

constexpr int kBones = 32;
constexpr int kKeysPerTrack = 120;
constexpr float kKeyInterval = 1.0f / 30.0f;

zam::Quaternion RandomRotation(std::mt19937& rng) {
  std::normal_distribution<float> normal;
  zam::Quaternion q{normal(rng), normal(rng), normal(rng), normal(rng)};
  const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  return {q.x / length, q.y / length, q.z / length, q.w / length};
}

// A branching skeleton like a character's: each bone hangs from one of the
// few bones before it. Ids are not the bone order, as in the game's models.
zam::SkinnedModelData MakeModel(std::mt19937& rng) {
  zam::SkinnedModelData model;
  model.boneCount = kBones;
  std::uniform_real_distribution<float> offset(-0.3f, 0.3f);
  for (int i = 0; i < kBones; ++i) {
    model.boneNames.push_back("bone");
    model.boneIds.push_back(1000 + (i * 7) % kBones);
    model.boneNodeIndex.push_back(i);
    model.boneRotation.push_back(zam::RotationMatrix(RandomRotation(rng)));
    model.bonePosition.push_back({offset(rng), offset(rng), offset(rng)});
    model.boneParent.push_back(i == 0 ? -1 : std::max(0, i - 1 - static_cast<int>(rng() % 3)));
    model.inverseBindMatrices.push_back(zam::TranslationMatrix({offset(rng), offset(rng), offset(rng)}));
  }
  return model;
}

zam::AnimPackage MakeAnimation(const zam::SkinnedModelData& model, std::mt19937& rng) {
  std::uniform_real_distribution<float> move(-1.0f, 1.0f);
  zam::Animation animation{};
  for (int t = 0; t < kBones; ++t) {
    zam::BoneTrack track{};
    // Track order differs from bone order, so the binding search does work.
    track.boneId = model.boneIds[static_cast<size_t>((t * 5 + 3) % kBones)];
    track.keyType = t == 0 ? zam::kKeyKRT0 : t % 8 == 0 ? zam::kKeyKRTS : zam::kKeyKR00;
    for (int k = 0; k < kKeysPerTrack; ++k) {
      zam::KeyFrame key{};
      const zam::Quaternion q = RandomRotation(rng);
      key.rotation[0] = q.x;
      key.rotation[1] = q.y;
      key.rotation[2] = q.z;
      key.rotation[3] = q.w;
      for (float& v : key.translation) v = move(rng);
      for (float& v : key.scale) v = 1.0f + 0.1f * move(rng);
      key.time = k * kKeyInterval;
      track.keys.push_back(key);
    }
    animation.bones.push_back(track);
  }
  zam::AnimPackage package{};
  package.animations.push_back(animation);
  return package;
}

void BM_EvaluatePose(benchmark::State& state) {
  std::mt19937 rng(7);
  const zam::SkinnedModelData model = MakeModel(rng);
  const zam::AnimPackage package = MakeAnimation(model, rng);
  std::uniform_real_distribution<float> when(0.0f, kKeysPerTrack * kKeyInterval);
  std::vector<float> times(1024);
  for (float& t : times) t = when(rng);
  zam::Pose pose;
  size_t next = 0;
  for (auto _ : state) {
    zam::EvaluatePose(package, 0, times[next++ & 1023], model, pose);
    benchmark::DoNotOptimize(pose.skinningMatrices.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel("32 bones, 32 tracks x 120 keys");
}

void BM_SkinVertices(benchmark::State& state) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f);
  std::uniform_real_distribution<float> weight(0.0f, 1.0f);
  std::vector<zam::SkinnedVertex> vertices(static_cast<size_t>(state.range(0)));
  for (zam::SkinnedVertex& v : vertices) {
    for (float& c : v.position) c = coordinate(rng);
    for (float& c : v.normal) c = coordinate(rng);
    // Up to four bones with weights summing to 1, the fourth implied.
    float w[4] = {weight(rng), weight(rng), weight(rng), weight(rng)};
    const float sum = w[0] + w[1] + w[2] + w[3];
    for (int i = 0; i < 3; ++i) v.blendWeights[i] = w[i] / sum;
    for (uint8_t& b : v.boneIndices) b = static_cast<uint8_t>(rng() % kBones);
  }
  std::vector<zam::Matrix4> matrices;
  for (int i = 0; i < kBones; ++i) {
    matrices.push_back(zam::Multiply(zam::RotationMatrix(RandomRotation(rng)),
                                     zam::TranslationMatrix({coordinate(rng), coordinate(rng), coordinate(rng)})));
  }
  std::vector<zam::WeaponVertex> out;
  for (auto _ : state) {
    zam::SkinVertices(vertices, matrices, out);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
  state.SetLabel("32 matrices");
}

}  // namespace

BENCHMARK(BM_EvaluatePose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinVertices)->Arg(30000)->Unit(benchmark::kMicrosecond);
