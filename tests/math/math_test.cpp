#include <gtest/gtest.h>

#include <cmath>

#include "math/matrix.h"
#include "math/quaternion.h"
#include "math_expect.h"

namespace zam {
namespace {

using test::ExpectMatrixNear;
using test::ExpectQuaternionNear;

const Quaternion kQuarterTurnZ{0, 0, std::sqrt(0.5f), std::sqrt(0.5f)};
const Quaternion kEighthTurnZ{0, 0, 0.38268343f, 0.92387953f};

Quaternion AxisAngle(float x, float y, float z, float angle) {
  const float s = std::sin(angle / 2) / std::sqrt(x * x + y * y + z * z);
  return {x * s, y * s, z * s, std::cos(angle / 2)};
}

Quaternion Negated(const Quaternion& q) { return {-q.x, -q.y, -q.z, -q.w}; }

// Products, transforms, the view and the projection are checked through the
// camera, pose and skinning tests; here what those leave open.
TEST(RotationMatrix, HasTheQuaternionRows) {
  // Not normalised, so that every term of every row shows.
  ExpectMatrixNear({{{-25, 28, -10, 0}, {-20, -19, 20, 0}, {22, 4, -9, 0}, {0, 0, 0, 1}}}, RotationMatrix({1, 2, 3, 4}));
  for (const auto& row : LookAtRH({1, 1, 1}, {1, 1, 1}, {0, 0, 1}).m)
    for (float value : row) EXPECT_FALSE(std::isnan(value)) << "a view from the target itself";
}

TEST(Slerp, FollowsTheShorterArcAtAnEvenPace) {
  ExpectQuaternionNear(kIdentityQuaternion, Slerp(kIdentityQuaternion, kQuarterTurnZ, 0.0f));
  ExpectQuaternionNear(kQuarterTurnZ, Slerp(kIdentityQuaternion, kQuarterTurnZ, 1.0f));
  ExpectQuaternionNear(kEighthTurnZ, Slerp(kIdentityQuaternion, kQuarterTurnZ, 0.5f));
  ExpectQuaternionNear(AxisAngle(1, 2, 3, 0.7f), Slerp(AxisAngle(1, 2, 3, 0.4f), AxisAngle(1, 2, 3, 1.6f), 0.25f));
  // -q is the same turn; the long way round would pass through 225 degrees.
  ExpectQuaternionNear(kEighthTurnZ, Slerp(kIdentityQuaternion, Negated(kQuarterTurnZ), 0.5f));
}

TEST(Slerp, BlendsNearlyEqualQuaternionsLinearlyWithoutRenormalising) {
  const Quaternion mid = Slerp({0, 0, 0, 1}, {0, 0, 0.01f, 0.99995f}, 0.5f);
  EXPECT_FLOAT_EQ(0.005f, mid.z);
  EXPECT_FLOAT_EQ(0.999975f, mid.w);
  ExpectQuaternionNear({0, 0, 0, 2}, Slerp({0, 0, 0, 2}, {0, 0, 0, 2}, 0.3f));
}

TEST(QuaternionFromMatrix, RoundTripsEveryKindOfRotation) {
  // Small angles (w largest) and half turns about each axis, where x, y or z is the largest.
  const Quaternion rotations[] = {
      AxisAngle(1, 2, 3, 0.3f),       AxisAngle(-2, 1, 0.5f, 2.0f),   AxisAngle(1, 0.1f, 0.2f, 3.1f),
      AxisAngle(0.1f, 1, 0.2f, 3.1f), AxisAngle(0.2f, 0.1f, 1, 3.1f), {1, 0, 0, 0},
      {0, 1, 0, 0},                   {0, 0, 1, 0},                   kIdentityQuaternion,
  };
  for (const Quaternion& q : rotations) {
    Matrix4 m = RotationMatrix(q);
    m.m[3][0] = 5;  // the translation row plays no part
    const Quaternion back = QuaternionFromMatrix(m);
    ExpectQuaternionNear(Dot(q, back) < 0 ? Negated(q) : q, back, 1e-5f);  // q and -q are the same turn
  }
  for (const Matrix4& odd : {Matrix4{}, Matrix4{{{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}}},
                             Matrix4{{{10, 0, 0, 0}, {0, -25, 0, 0}, {0, 0, 10, 0}, {0, 0, 0, 1}}}}) {
    const Quaternion q = QuaternionFromMatrix(odd);
    EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w));
  }
}

}  // namespace
}  // namespace zam
