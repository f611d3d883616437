#include "sample_packages.h"

#include <cmath>
#include <string>

namespace zam::gen {
namespace {

// splitmix64: small, fast and the same on every platform.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int Between(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1)); }
  float Unit() { return static_cast<float>(Next() >> 40) / static_cast<float>(1ull << 24); }
  float Signed() { return Unit() * 2.0f - 1.0f; }

 private:
  uint64_t state_;
};

void RandomRotation(Random& random, float* q) {
  float len = 0.0f;
  do {
    for (int i = 0; i < 4; ++i) q[i] = random.Signed();
    len = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  } while (len < 0.1f);
  for (int i = 0; i < 4; ++i) q[i] /= len;
}

}  // namespace

AnimPackage MakePackage(const PackageShape& shape) {
  Random random(shape.seed);
  AnimPackage package{};
  package.format = shape.format;
  SetName(package.name, "sample");
  package.animations.resize(static_cast<size_t>(shape.animations), Animation{});
  for (int a = 0; a < shape.animations; ++a) {
    Animation& animation = package.animations[a];
    SetName(animation.name, "anim_" + std::to_string(a));
    animation.bones.resize(static_cast<size_t>(shape.tracksPerAnimation), BoneTrack{});
    for (int t = 0; t < shape.tracksPerAnimation; ++t) {
      BoneTrack& track = animation.bones[t];
      SetName(track.name, "bone_" + std::to_string(t));
      track.boneId = t == 0 ? 0 : t + 1;
      track.keyType = t % shape.translatedEvery == 0 ? kKeyKRT0 : kKeyKR00;
      track.floatFrames = shape.floatFrames;
      if (shape.anpkAnimSize == 40 || shape.anpkAnimSize == 48) {
        track.anpkAnimSize = shape.anpkAnimSize;
        track.boneId = -1;
        if (shape.anpkAnimSize == 48) track.anpkLinks[0] = t - 1, track.anpkLinks[1] = t + 1;
      }
      track.keys.resize(static_cast<size_t>(random.Between(shape.minKeys, shape.maxKeys)), KeyFrame{});
      float time = 0.0f;
      for (KeyFrame& key : track.keys) {
        RandomRotation(random, key.rotation);
        if (track.keyType != kKeyKR00) {
          for (float& v : key.translation) v = random.Signed() * 2.0f;
        }
        key.time = time;
        time += static_cast<float>(random.Between(1, 6)) / 60.0f;
      }
    }
    const float length = AnimationLength(animation);
    for (BoneTrack& track : animation.bones) {
      if (track.keys.size() >= 2) track.keys.back().time = length;
    }
    if (shape.emptyTracks && !animation.bones.empty()) {
      animation.bones.back().keys.clear();
      animation.bones.back().anpkWithoutKeySection = a % 2 == 1;
    }
  }
  return package;
}

PackageShape LargeGameShape(uint32_t format) {
  PackageShape shape;
  shape.format = format;
  shape.animations = 300;
  shape.tracksPerAnimation = 32;
  shape.minKeys = 60;
  shape.maxKeys = 150;
  shape.seed = 300;
  return shape;
}

PackageShape RealGameShape(uint32_t format) {
  PackageShape shape;
  shape.format = format;
  shape.animations = 300;
  shape.tracksPerAnimation = 30;
  shape.minKeys = 10;
  shape.maxKeys = 60;
  shape.translatedEvery = 6;
  shape.seed = 300;
  return shape;
}

}  // namespace zam::gen
