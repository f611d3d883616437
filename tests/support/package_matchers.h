#pragma once
// Field-by-field comparison of packages, reporting the first difference.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "anim/anim_package.h"

namespace zam::test {

inline bool SameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Compares every field of the two packages, floats bit for bit;
// `trackNameBytes` is how much of each track name field must agree.
::testing::AssertionResult SamePackage(const AnimPackage& expected, const AnimPackage& actual,
                                       size_t trackNameBytes = 28);

}  // namespace zam::test
