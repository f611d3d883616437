#include "math/quaternion.h"

#include <gtest/gtest.h>

#include <cmath>

#include "math/matrix.h"
#include "math_expect.h"

namespace zam {
namespace {

using test::ExpectMatrixNear;
using test::ExpectQuaternionNear;

const float kHalfSqrt2 = std::sqrt(0.5f);
const Quaternion kQuarterTurnZ{0, 0, kHalfSqrt2, kHalfSqrt2};

Quaternion AxisAngle(float x, float y, float z, float angle) {
  const float length = std::sqrt(x * x + y * y + z * z);
  const float s = std::sin(angle / 2) / length;
  return {x * s, y * s, z * s, std::cos(angle / 2)};
}

Quaternion Negated(const Quaternion& q) { return {-q.x, -q.y, -q.z, -q.w}; }

TEST(Slerp, EndsAtEitherQuaternion) {
  ExpectQuaternionNear(kIdentityQuaternion, Slerp(kIdentityQuaternion, kQuarterTurnZ, 0.0f));
  ExpectQuaternionNear(kQuarterTurnZ, Slerp(kIdentityQuaternion, kQuarterTurnZ, 1.0f));
}

TEST(Slerp, HalfwayIsHalfTheAngle) {
  // Halfway between no turn and 90 degrees about Z: 45 degrees.
  ExpectQuaternionNear({0, 0, 0.38268343f, 0.92387953f}, Slerp(kIdentityQuaternion, kQuarterTurnZ, 0.5f));
  const Quaternion a = AxisAngle(1, 2, 3, 0.4f);
  const Quaternion b = AxisAngle(1, 2, 3, 1.6f);
  ExpectQuaternionNear(AxisAngle(1, 2, 3, 0.7f), Slerp(a, b, 0.25f));
}

TEST(Slerp, TakesTheShorterArc) {
  // -q is the same 90 degree turn; going the long way round would pass
  // through 225 degrees instead of 45.
  const Quaternion longWay = Negated(kQuarterTurnZ);
  ExpectQuaternionNear({0, 0, 0.38268343f, 0.92387953f}, Slerp(kIdentityQuaternion, longWay, 0.5f));
  ExpectMatrixNear(RotationMatrix(kQuarterTurnZ), RotationMatrix(Slerp(kIdentityQuaternion, longWay, 1.0f)));
}

TEST(Slerp, BlendsNearlyEqualQuaternionsLinearlyWithoutRenormalising) {
  const Quaternion a{0, 0, 0, 1};
  const Quaternion b{0, 0, 0.01f, 0.99995f};
  const Quaternion mid = Slerp(a, b, 0.5f);
  EXPECT_FLOAT_EQ(0.005f, mid.z);
  EXPECT_FLOAT_EQ(0.999975f, mid.w);
  // Equal quaternions of length 2 stay of length 2.
  ExpectQuaternionNear({0, 0, 0, 2}, Slerp({0, 0, 0, 2}, {0, 0, 0, 2}, 0.3f));
}

TEST(QuaternionFromMatrix, ReadsAQuarterTurn) {
  ExpectQuaternionNear(kQuarterTurnZ, QuaternionFromMatrix(RotationMatrix(kQuarterTurnZ)));
  const Matrix4 turn{{{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
  ExpectQuaternionNear(kQuarterTurnZ, QuaternionFromMatrix(turn));
}

TEST(QuaternionFromMatrix, RoundTripsEveryKindOfRotation) {
  // Small angles (w largest) and half turns about each axis, where x, y or z
  // is the largest component.
  const Quaternion rotations[] = {
      AxisAngle(1, 2, 3, 0.3f),  AxisAngle(-2, 1, 0.5f, 2.0f), AxisAngle(1, 0.1f, 0.2f, 3.1f),
      AxisAngle(0.1f, 1, 0.2f, 3.1f), AxisAngle(0.2f, 0.1f, 1, 3.1f), {1, 0, 0, 0},
      {0, 1, 0, 0},                  {0, 0, 1, 0},                    kIdentityQuaternion,
  };
  for (const Quaternion& q : rotations) {
    const Quaternion back = QuaternionFromMatrix(RotationMatrix(q));
    // q and -q are the same rotation; either may come back.
    ExpectQuaternionNear(Dot(q, back) < 0 ? Negated(q) : q, back, 1e-5f);
    ExpectMatrixNear(RotationMatrix(q), RotationMatrix(back), 1e-5f);
  }
}

TEST(QuaternionFromMatrix, IgnoresTheTranslationRow) {
  Matrix4 m = RotationMatrix(kQuarterTurnZ);
  m.m[3][0] = 5;
  m.m[3][1] = -7;
  ExpectQuaternionNear(kQuarterTurnZ, QuaternionFromMatrix(m));
}

TEST(QuaternionFromMatrix, StaysFiniteForMatricesThatAreNoRotation) {
  const Matrix4 odd[] = {
      Matrix4{},
      {{{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}}},
      {{{10, 0, 0, 0}, {0, -25, 0, 0}, {0, 0, 10, 0}, {0, 0, 0, 1}}},
  };
  for (const Matrix4& m : odd) {
    const Quaternion q = QuaternionFromMatrix(m);
    EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w));
  }
}

}  // namespace
}  // namespace zam
