#include "preview/pose.h"

#include <algorithm>
#include <cstddef>

#include "math/matrix.h"
#include "math/quaternion.h"
#include "model/skinned_model_loader.h"

namespace zam {
namespace {

Vec3 Lerp(const float (&a)[3], const float (&b)[3], float u) {
  return {a[0] + (b[0] - a[0]) * u, a[1] + (b[1] - a[1]) * u, a[2] + (b[2] - a[2]) * u};
}

Quaternion ToQuaternion(const float (&q)[4]) { return {q[0], q[1], q[2], q[3]}; }

// Where t lies between the times of two keys, clamped to [0, 1]. Two keys at
// the same time (or a single key read twice) have no interval to divide by:
// the later one holds from its time on.
float IntervalParameter(float t, float time0, float time1) {
  const float span = time1 - time0;
  if (span == 0.0f) return t >= time1 ? 1.0f : 0.0f;
  const float u = (t - time0) / span;
  if (!(u > 0.0f)) return 0.0f;  // also catches NaN
  return u > 1.0f ? 1.0f : u;
}

// The local matrix of a bone driven by a track with at least one key, and the
// translation it used.
Matrix4 SampleTrack(const BoneTrack& track, float t, const Matrix4& boneRotation, const Vec3& bonePosition,
                    Vec3& translation) {
  const KeyFrame key = InterpolateTrack(track, t);
  const Vec3 scale = KeyTypeHas(track.keyType, 3, 'S') ? Vec3{key.scale[0], key.scale[1], key.scale[2]}
                                                        : Vec3{1.0f, 1.0f, 1.0f};
  const Quaternion rotation =
      KeyTypeHas(track.keyType, 1, 'R') ? ToQuaternion(key.rotation) : QuaternionFromMatrix(boneRotation);
  // A translating track replaces the model's bone offset; a rotation-only
  // track keeps it.
  translation = KeyTypeHas(track.keyType, 2, 'T')
                    ? Vec3{key.translation[0], key.translation[1], key.translation[2]}
                    : bonePosition;
  return Multiply(Multiply(ScalingMatrix(scale), RotationMatrix(rotation)), TranslationMatrix(translation));
}

const Animation* ShownAnimation(const AnimPackage& package, int animationIndex) {
  const Animation* animation = AnimationAt(package, animationIndex);
  return animation && !animation->bones.empty() ? animation : nullptr;
}

}  // namespace

const BoneTrack* TrackOfBone(const Animation& animation, const SkinnedModelData& model, int bone) {
  for (const BoneTrack& track : animation.bones) {
    if (TrackDrivesBone(track, model, bone)) return &track;
  }
  return nullptr;
}

KeyFrame InterpolateTrack(const BoneTrack& track, float t) {
  const size_t n = track.keys.size();
  size_t k = 0;
  while (k < n && !(track.keys[k].time >= t)) ++k;
  if (k == n) k = n - 1;
  const size_t k0 = k > 0 ? k - 1 : 0;
  const size_t k1 = std::min(k0 + 1, n - 1);  // a single key interpolates with itself
  const KeyFrame& key0 = track.keys[k0];
  const KeyFrame& key1 = track.keys[k1];
  const float u = IntervalParameter(t, key0.time, key1.time);
  const Quaternion rotation = Slerp(ToQuaternion(key0.rotation), ToQuaternion(key1.rotation), u);
  const Vec3 translation = Lerp(key0.translation, key1.translation, u);
  const Vec3 scale = Lerp(key0.scale, key1.scale, u);
  return KeyFrame{{rotation.x, rotation.y, rotation.z, rotation.w},
                  {translation.x, translation.y, translation.z},
                  {scale.x, scale.y, scale.z},
                  t};
}

bool KeyTypeHas(uint32_t keyType, int position, char letter) {
  return static_cast<char>(keyType >> (8 * position) & 0xFF) == letter;
}

int PosableBoneCount(const SkinnedModelData& model) {
  size_t count = static_cast<size_t>(std::max(model.boneCount, 0));
  count = std::min({count, model.boneNodeIndex.size(), model.boneRotation.size(), model.bonePosition.size(),
                    model.boneParent.size()});
  return static_cast<int>(count);
}

std::optional<int32_t> BoneId(const SkinnedModelData& model, int bone) {
  if (bone < 0 || static_cast<size_t>(bone) >= model.boneNodeIndex.size()) return std::nullopt;
  const int32_t node = model.boneNodeIndex[static_cast<size_t>(bone)];
  if (node < 0 || static_cast<size_t>(node) >= model.boneIds.size()) return std::nullopt;
  return model.boneIds[static_cast<size_t>(node)];
}

bool TrackDrivesBone(const BoneTrack& track, const SkinnedModelData& model, int bone) {
  if (track.boneId != -1) return BoneId(model, bone) == track.boneId;
  if (bone < 0 || static_cast<size_t>(bone) >= model.boneNames.size()) return false;
  // The model's names are normalised (lower case, without the prefixes some
  // models add), so the track's name is too.
  return NormaliseBoneName(NameText(track.name)) == model.boneNames[static_cast<size_t>(bone)];
}

void EvaluatePose(const AnimPackage& package, int animationIndex, float time, const SkinnedModelData& model,
                  Pose& pose) {
  const int boneCount = PosableBoneCount(model);
  const size_t skinCount =
      std::min(static_cast<size_t>(std::max(model.boneCount, 0)), model.inverseBindMatrices.size());
  pose.boneMatrices.resize(static_cast<size_t>(boneCount));
  pose.skinningMatrices.assign(skinCount, IdentityMatrix());
  pose.rootTranslation.reset();
  const Animation* animation = ShownAnimation(package, animationIndex);

  // Local matrices: the model pose, or what the bone's track says at `time`.
  for (int i = 0; i < boneCount; ++i) {
    const size_t bone = static_cast<size_t>(i);
    const Matrix4& boneRotation = model.boneRotation[bone];
    const Vec3& bonePosition = model.bonePosition[bone];
    pose.boneMatrices[bone] = Multiply(boneRotation, TranslationMatrix(bonePosition));
    if (animation == nullptr) continue;
    const BoneTrack* track = TrackOfBone(*animation, model, i);
    if (track == nullptr) continue;
    // A track without keys says nothing: the bone keeps its model pose.
    Vec3 translation = bonePosition;
    if (!track->keys.empty()) {
      pose.boneMatrices[bone] = SampleTrack(*track, time, boneRotation, bonePosition, translation);
    }
    if (track == &animation->bones[0]) pose.rootTranslation = translation;
  }

  // Model space, in one forward pass: a parent listed before its child is
  // already final when the child reads it. A parent index that does not come
  // earlier (or lies outside the table) cannot be honoured that way and is
  // taken as no parent.
  for (int i = 0; i < boneCount; ++i) {
    const int32_t parent = model.boneParent[static_cast<size_t>(i)];
    if (parent >= 0 && parent < i) {
      pose.boneMatrices[static_cast<size_t>(i)] =
          Multiply(pose.boneMatrices[static_cast<size_t>(i)], pose.boneMatrices[static_cast<size_t>(parent)]);
    }
  }

  for (int i = 0; i < boneCount; ++i) {
    const int32_t k = model.boneNodeIndex[static_cast<size_t>(i)];
    if (k >= 0 && static_cast<size_t>(k) < skinCount) {
      pose.skinningMatrices[static_cast<size_t>(k)] =
          Multiply(model.inverseBindMatrices[static_cast<size_t>(k)], pose.boneMatrices[static_cast<size_t>(i)]);
    }
  }
}

}  // namespace zam
