#pragma once
// Element-wise expectations on the math records, with the failing element
// named.

#include <gtest/gtest.h>

#include "math/types.h"

namespace zam::test {

inline void ExpectMatrixNear(const Matrix4& expected, const Matrix4& actual, float tolerance = 1e-6f) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_NEAR(expected.m[r][c], actual.m[r][c], tolerance) << "row " << r << " column " << c;
}

inline void ExpectVecNear(const Vec3& expected, const Vec3& actual, float tolerance = 1e-6f) {
  EXPECT_NEAR(expected.x, actual.x, tolerance);
  EXPECT_NEAR(expected.y, actual.y, tolerance);
  EXPECT_NEAR(expected.z, actual.z, tolerance);
}

inline void ExpectQuaternionNear(const Quaternion& expected, const Quaternion& actual, float tolerance = 1e-6f) {
  EXPECT_NEAR(expected.x, actual.x, tolerance);
  EXPECT_NEAR(expected.y, actual.y, tolerance);
  EXPECT_NEAR(expected.z, actual.z, tolerance);
  EXPECT_NEAR(expected.w, actual.w, tolerance);
}

}  // namespace zam::test
