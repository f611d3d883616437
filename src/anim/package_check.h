#pragma once
// A check of a package against the rules the game holds packages to beyond
// their layout: a package can be well-formed and still crash the game or
// play wrong in it. Each finding names the animation, track and key it is
// about; a rule broken by many keys of one track is one finding, at the
// first such key, with how many more there are.

#include <string>
#include <vector>

#include "anim/anim_package.h"

namespace zam {

enum class CheckRule {
  NoKeys,
  FirstKeyNotAtZero,
  TimesNotIncreasing,
  NotFinite,
  RotationNotUnit,
  SharedBone,
  BeyondLayout,
  NameTooLong,
  UnequalTrackEnds,
  NameDiffersFromEntry,
};

struct CheckFinding {
  CheckRule rule;
  int animation = -1;  // -1: the package as a whole
  int track = -1;      // -1: the animation as a whole
  int key = -1;        // -1: the track as a whole
  std::string what;    // what is wrong, in words
};

// The findings in package order. `archiveEntryName` is the name of the
// archive entry the package was opened from, empty for a file.
std::vector<CheckFinding> CheckPackage(const AnimPackage& package, const std::string& archiveEntryName = {});

// Where a finding is, as a line names it: `animation "walk", track "Pelvis",
// key 4` (keys counted from 1), or just `package` for the package as a whole.
std::string FindingPlace(const AnimPackage& package, const CheckFinding& finding);

}  // namespace zam
