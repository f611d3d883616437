#include "anim/package_merge.h"

#include <utility>

namespace zam {
namespace {

// The first document animation named `name`, or -1.
int FindByName(const AnimPackage& document, const std::string& name) {
  for (size_t i = 0; i < document.animations.size(); ++i) {
    if (EqualIgnoringAsciiCase(NameText(document.animations[i].name), name)) return static_cast<int>(i);
  }
  return -1;
}

bool IsChecked(const std::vector<bool>& checked, size_t index) { return index < checked.size() && checked[index]; }

// The record with its tracks; the source keeps its name and no tracks,
// whatever a move would leave in it.
Animation TakeAnimation(Animation& source) {
  Animation taken = std::move(source);
  source.bones = {};
  return taken;
}

}  // namespace

std::vector<bool> DefaultMergeChecks(const AnimPackage& document, const AnimPackage& incoming) {
  std::vector<bool> checks;
  checks.reserve(incoming.animations.size());
  for (const Animation& animation : incoming.animations) {
    checks.push_back(FindByName(document, NameText(animation.name)) < 0);
  }
  return checks;
}

std::vector<MergedAnimation> AppendAnimations(AnimPackage& document, AnimPackage& incoming,
                                              const std::vector<bool>& checked) {
  std::vector<MergedAnimation> merged;
  for (size_t i = 0; i < incoming.animations.size(); ++i) {
    if (!IsChecked(checked, i)) continue;
    document.animations.push_back(TakeAnimation(incoming.animations[i]));
    merged.push_back({static_cast<int>(i), document.animationCount() - 1});
  }
  return merged;
}

std::vector<MergedAnimation> ReplaceAnimations(AnimPackage& document, AnimPackage& incoming,
                                               const std::vector<bool>& checked) {
  std::vector<MergedAnimation> merged;
  for (size_t i = 0; i < incoming.animations.size(); ++i) {
    if (!IsChecked(checked, i)) continue;
    int target = FindByName(document, NameText(incoming.animations[i].name));
    if (target < 0) continue;
    std::swap(document.animations[static_cast<size_t>(target)], incoming.animations[i]);
    merged.push_back({static_cast<int>(i), target, true});
  }
  return merged;
}

}  // namespace zam
