#pragma once
// Edits of a package as the editing commands make them. Indices out of range
// change nothing.

#include <string>
#include <vector>

#include "anim/anim_package.h"

namespace zam {

// Appends a deep copy of animation `index`; returns the copy's index or -1.
int AppendAnimationCopy(AnimPackage& package, int index);
// Removes animation `index`; later animations move down one place.
bool RemoveAnimation(AnimPackage& package, int index);
// Removes track `index` of the animation; later tracks move down one place.
bool RemoveTrack(Animation& animation, int index);

// The current animation after animation `removed` was deleted: the same
// animation at its new index, or -1 when it was the one deleted.
int CurrentAfterRemoval(int current, int removed);

// One row of the Remove Trans Key list: a bone id met in the selected
// animations, with how many of their tracks of that id are KR00 and KRT0.
struct BoneIdTally {
  std::string name;  // of the first track met with this id
  int32_t boneId;
  int kr00Count;
  int krt0Count;
  bool ticked;  // by default every bone but the root (id 0) and negative ids
};

// Groups the tracks of the given animations by bone id, in first-met order.
std::vector<BoneIdTally> TallyBoneIds(const AnimPackage& package, const std::vector<int>& animations);

// Makes the first track of each given bone id in each given animation a
// rotation-only track; its keys keep their values.
void RemoveTranslationKeys(AnimPackage& package, const std::vector<int>& animations,
                           const std::vector<int32_t>& boneIds);

}  // namespace zam
