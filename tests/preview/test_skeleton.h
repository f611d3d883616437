#pragma once
// Small skeletons and animations built directly as records, for the pose,
// skinning and scene tests.

#include <string>
#include <vector>

#include "anim/anim_package.h"
#include "math/matrix.h"
#include "model/model_data.h"

namespace zam::test {

struct BoneSpec {
  int32_t id;
  int32_t parent;
  Vec3 position;
  Quaternion rotation = {0, 0, 0, 1};
};

// Bone i gets node index i; the inverse bind matrices are the identity.
inline SkinnedModelData MakeSkeleton(const std::vector<BoneSpec>& bones) {
  SkinnedModelData model;
  model.boneCount = static_cast<int32_t>(bones.size());
  for (size_t i = 0; i < bones.size(); ++i) {
    model.boneNames.push_back("bone" + std::to_string(i));
    model.boneIds.push_back(bones[i].id);
    model.boneNodeIndex.push_back(static_cast<int32_t>(i));
    model.boneRotation.push_back(RotationMatrix(bones[i].rotation));
    model.bonePosition.push_back(bones[i].position);
    model.boneParent.push_back(bones[i].parent);
    model.inverseBindMatrices.push_back(IdentityMatrix());
  }
  return model;
}

inline KeyFrame Key(float time, Vec3 t = {0, 0, 0}, Quaternion r = {0, 0, 0, 1}, Vec3 s = {1, 1, 1}) {
  return {{r.x, r.y, r.z, r.w}, {t.x, t.y, t.z}, {s.x, s.y, s.z}, time};
}

inline BoneTrack Track(int32_t boneId, uint32_t keyType, std::vector<KeyFrame> keys) {
  BoneTrack track{};
  track.boneId = boneId;
  track.keyType = keyType;
  track.keys = std::move(keys);
  return track;
}

inline AnimPackage PackageOf(std::vector<BoneTrack> tracks) {
  AnimPackage package{};
  package.format = kFormatANP3;
  Animation animation{};
  animation.bones = std::move(tracks);
  package.animations.push_back(std::move(animation));
  return package;
}

inline Vec3 Origin(const Matrix4& m) { return {m.m[3][0], m.m[3][1], m.m[3][2]}; }

}  // namespace zam::test
