#include "anim/package_edits.h"

namespace zam {
namespace {

bool ValidIndex(int index, size_t count) { return index >= 0 && static_cast<size_t>(index) < count; }

}  // namespace

int AppendAnimationCopy(AnimPackage& package, int index) {
  if (!ValidIndex(index, package.animations.size())) return -1;
  Animation copy = package.animations[index];  // copied before the array may move
  package.animations.push_back(std::move(copy));
  return package.animationCount() - 1;
}

bool RemoveAnimation(AnimPackage& package, int index) {
  if (!ValidIndex(index, package.animations.size())) return false;
  package.animations.erase(package.animations.begin() + index);
  return true;
}

bool RemoveTrack(Animation& animation, int index) {
  if (!ValidIndex(index, animation.bones.size())) return false;
  animation.bones.erase(animation.bones.begin() + index);
  return true;
}

int CurrentAfterRemoval(int current, int removed) {
  if (current == removed) return -1;
  return current > removed ? current - 1 : current;
}

std::vector<BoneIdTally> TallyBoneIds(const AnimPackage& package, const std::vector<int>& animations) {
  std::vector<BoneIdTally> rows;
  for (int a : animations) {
    if (!ValidIndex(a, package.animations.size())) continue;
    for (const BoneTrack& track : package.animations[a].bones) {
      BoneIdTally* row = nullptr;
      for (BoneIdTally& existing : rows) {
        if (existing.boneId == track.boneId) {
          row = &existing;
          break;
        }
      }
      if (!row) {
        rows.push_back({NameText(track.name), track.boneId, 0, 0, track.boneId > 0});
        row = &rows.back();
      }
      if (track.keyType == kKeyKR00) ++row->kr00Count;
      if (track.keyType == kKeyKRT0) ++row->krt0Count;
    }
  }
  return rows;
}

void RemoveTranslationKeys(AnimPackage& package, const std::vector<int>& animations,
                           const std::vector<int32_t>& boneIds) {
  for (int a : animations) {
    if (!ValidIndex(a, package.animations.size())) continue;
    for (int32_t id : boneIds) {
      for (BoneTrack& track : package.animations[a].bones) {
        if (track.boneId == id) {
          track.keyType = kKeyKR00;
          break;
        }
      }
    }
  }
}

}  // namespace zam
