#pragma once
// The pose of a character at one moment of an animation: one model-space
// matrix per bone for drawing the skeleton and placing the weapon, one
// skinning matrix per skin bone for deforming the mesh, and where the
// animation's root track puts its bone, for the camera that follows it.

#include <optional>
#include <vector>

#include "anim/anim_package.h"
#include "math/types.h"
#include "model/model_data.h"

namespace zam {

// Owned by the preview and reused frame after frame: once sized for a model,
// evaluating allocates nothing.
struct Pose {
  std::vector<Matrix4> boneMatrices;      // per bone, in model space
  std::vector<Matrix4> skinningMatrices;  // per skin bone (node-table order); identity where no bone maps
  std::optional<Vec3> rootTranslation;    // the translation the animation's track 0 gave its bone, if it binds one
};

// Poses `model` with animation `animationIndex` of `package` at `time`
// seconds. Index -1 (or any index the package does not hold) shows the model
// pose. Tracks bind to bones as TrackDrivesBone says; the first track of a bone wins.
// Time is neither wrapped nor looped: before the first key the first key
// holds, after the last key the last.
void EvaluatePose(const AnimPackage& package, int animationIndex, float time, const SkinnedModelData& model,
                  Pose& pose);

// The track of `animation` that drives bone `bone` of the model: the first
// one TrackDrivesBone binds to it (a later one is never used), or nullptr.
const BoneTrack* TrackOfBone(const Animation& animation, const SkinnedModelData& model, int bone);

// What a track with at least one key holds at `time`: its keys' rotations
// slerped, their translations and scales blended, by where `time` lies
// between the keys around it (the first and last keys hold before and
// after them). The key's time is `time`.
KeyFrame InterpolateTrack(const BoneTrack& track, float time);

// Whether letter `position` (0 to 3) of a track's key type is `letter`.
// Key types are read letter by letter ('R' second: rotation keys, 'T' third:
// translation keys, 'S' fourth: scale keys), so unknown tags still animate
// whatever their letters name.
bool KeyTypeHas(uint32_t keyType, int position, char letter);

// How many bones of `model` can be posed: its bone count, limited to what
// every per-bone table of the record actually holds.
int PosableBoneCount(const SkinnedModelData& model);

// The HAnim id of bone `bone`, or nullopt when its node index or the id table
// does not reach it.
std::optional<int32_t> BoneId(const SkinnedModelData& model, int bone);

// Whether `track` drives bone `bone` of the model: by the bone's HAnim id, or,
// for a track whose file gave it no bone id (-1), by the bone's name,
// ignoring case.
bool TrackDrivesBone(const BoneTrack& track, const SkinnedModelData& model, int bone);

}  // namespace zam
