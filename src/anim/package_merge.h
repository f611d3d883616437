#pragma once
// Taking the animations of a package being opened into the document:
// appended at its end, or each one replacing the document's animation of the
// same name. Names compare without regard to ASCII case. What the document
// takes is moved out of the incoming package: an appended record leaves its
// name and no tracks behind, a replacing one trades places with the record
// it replaces, so the caller still has what the document lost (to undo the
// merge) and releasing both packages frees everything exactly once.

#include <vector>

#include "anim/anim_package.h"

namespace zam {

// One incoming animation that the document took.
struct MergedAnimation {
  int incoming;  // its index in the incoming package
  int document;  // the document index it was appended at, or that it replaced
  bool replaced = false;  // the replaced record now sits at `incoming` in the incoming package
};

// One check mark per incoming animation: set unless the document already
// has an animation of that name.
std::vector<bool> DefaultMergeChecks(const AnimPackage& document, const AnimPackage& incoming);

// Moves every checked incoming animation, in incoming order, to the end of
// the document; names the document already has are appended once more.
// Marks missing from `checked` count as unchecked.
std::vector<MergedAnimation> AppendAnimations(AnimPackage& document, AnimPackage& incoming,
                                              const std::vector<bool>& checked);

// Every checked incoming animation, in incoming order, replaces the first
// document animation of the same name, which takes the incoming spelling;
// one whose name the document lacks is left where it is. Replacing one
// document animation twice leaves the second replaced version in the
// incoming package.
std::vector<MergedAnimation> ReplaceAnimations(AnimPackage& document, AnimPackage& incoming,
                                               const std::vector<bool>& checked);

}  // namespace zam
