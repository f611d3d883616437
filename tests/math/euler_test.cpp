#include "math/euler.h"

#include <gtest/gtest.h>

#include <cmath>

#include "math/matrix.h"
#include "math_expect.h"

namespace zam {
namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Rz(h) x Rx(p) x Ry(r) applied to the column vector v, from explicit matrices.
Vec3 Rotated(const HeadingPitchRoll& a, const Vec3& v) {
  const double ch = std::cos(a.heading * kDegree), sh = std::sin(a.heading * kDegree);
  const double cp = std::cos(a.pitch * kDegree), sp = std::sin(a.pitch * kDegree);
  const double cr = std::cos(a.roll * kDegree), sr = std::sin(a.roll * kDegree);
  const double y1[3] = {cr * v.x + sr * v.z, v.y, -sr * v.x + cr * v.z};
  const double x1[3] = {y1[0], cp * y1[1] - sp * y1[2], sp * y1[1] + cp * y1[2]};
  return {static_cast<float>(ch * x1[0] - sh * x1[1]), static_cast<float>(sh * x1[0] + ch * x1[1]),
          static_cast<float>(x1[2])};
}

// The rotation as the preview applies it: a row vector times the quaternion's matrix.
Vec3 AsDrawn(const Quaternion& q, const Vec3& v) { return TransformPoint(v, RotationMatrix(q)); }

TEST(HeadingPitchRoll, NameTheRotationThePreviewDrawsAndComeBack) {
  const HeadingPitchRoll cases[] = {{90, 0, 0},   {0, 30, 0},      {0, 0, -45},     {135, -20, 170},
                                    {-60, 75, 12}, {179.5, 1, -179}, {180, 0, 0}, {0, 0, 0}};
  for (const HeadingPitchRoll& angles : cases) {
    SCOPED_TRACE(::testing::Message() << angles.heading << " " << angles.pitch << " " << angles.roll);
    const Quaternion q = QuaternionFromHeadingPitchRoll(angles);
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-6f);
    for (const Vec3& axis : {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}) {
      test::ExpectVecNear(Rotated(angles, axis), AsDrawn(q, axis), 1e-5f);
    }
    const HeadingPitchRoll back = HeadingPitchRollOf(q);
    EXPECT_NEAR(back.heading, angles.heading, 1e-3);
    EXPECT_NEAR(back.pitch, angles.pitch, 1e-3);
    EXPECT_NEAR(back.roll, angles.roll, 1e-3);
  }
  // A quarter turn about Z takes +X to +Y.
  test::ExpectVecNear({0, 1, 0}, AsDrawn(QuaternionFromHeadingPitchRoll({90, 0, 0}), {1, 0, 0}), 1e-6f);
}

TEST(HeadingPitchRoll, StraightUpPutsTheTurnInTheHeadingAndNothingIsLost) {
  const Quaternion up = QuaternionFromHeadingPitchRoll({30, 90, 40});
  const HeadingPitchRoll angles = HeadingPitchRollOf(up);
  EXPECT_NEAR(angles.pitch, 90.0, 1e-3);
  EXPECT_EQ(angles.roll, 0.0);
  for (const Vec3& axis : {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}) {
    test::ExpectVecNear(AsDrawn(up, axis), Rotated(angles, axis), 1e-4f);
  }
  const HeadingPitchRoll scaled = HeadingPitchRollOf({0, 0, 2.0f, 2.0f});  // not normalised: a quarter turn
  EXPECT_NEAR(scaled.heading, 90.0, 1e-4);
  const HeadingPitchRoll zero = HeadingPitchRollOf({0, 0, 0, 0});
  EXPECT_EQ(zero.heading + zero.pitch + zero.roll, 0.0);
}

}  // namespace
}  // namespace zam
