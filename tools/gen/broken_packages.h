#pragma once
// Sample packages that break one of the game's rules each, so that a check
// of the rules can be shown to find every one.

#include <string>

#include "anim/anim_package.h"

namespace zam::gen {

// The rules by the names zamgen takes, separated by "|".
extern const char kBrokenRules[];

// Breaks `rule` in the first animation of `package` (which needs at least
// one animation of two tracks with two keys each); false for a rule of no
// such name.
bool BreakRule(const std::string& rule, AnimPackage& package);

}  // namespace zam::gen
