#include "math/matrix.h"

#include <gtest/gtest.h>

#include <cmath>

#include "math_expect.h"

namespace zam {
namespace {

using test::ExpectMatrixEq;
using test::ExpectMatrixNear;
using test::ExpectVecNear;

const float kHalfSqrt2 = std::sqrt(0.5f);

TEST(MatrixProduct, AppliesTheLeftMatrixFirst) {
  const Matrix4 scaleThenMove = Multiply(ScalingMatrix({2, 3, 4}), TranslationMatrix({5, 6, 7}));
  ExpectMatrixEq({{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {5, 6, 7, 1}}}, scaleThenMove);
  const Matrix4 moveThenScale = Multiply(TranslationMatrix({5, 6, 7}), ScalingMatrix({2, 3, 4}));
  ExpectMatrixEq({{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {10, 18, 28, 1}}}, moveThenScale);

  // Moving (1, 0, 0) and then turning 90 degrees about Z ends on +Y.
  const Matrix4 quarterTurn = RotationMatrix({0, 0, kHalfSqrt2, kHalfSqrt2});
  ExpectVecNear({0, 1, 0}, TransformPoint({0, 0, 0}, Multiply(TranslationMatrix({1, 0, 0}), quarterTurn)));
  ExpectVecNear({1, 0, 0}, TransformPoint({0, 0, 0}, Multiply(quarterTurn, TranslationMatrix({1, 0, 0}))));
}

TEST(MatrixProduct, IdentityChangesNothing) {
  const Matrix4 m{{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}}};
  ExpectMatrixEq(m, Multiply(IdentityMatrix(), m));
  ExpectMatrixEq(m, Multiply(m, IdentityMatrix()));
}

TEST(RotationMatrix, HasTheQuaternionRows) {
  // A quaternion with all four components, not normalised, so that every
  // term of every row shows.
  ExpectMatrixEq({{{-25, 28, -10, 0}, {-20, -19, 20, 0}, {22, 4, -9, 0}, {0, 0, 0, 1}}}, RotationMatrix({1, 2, 3, 4}));
}

TEST(RotationMatrix, TurnsXTowardYAboutZ) {
  const Matrix4 m = RotationMatrix({0, 0, kHalfSqrt2, kHalfSqrt2});
  ExpectMatrixNear({{{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}, m);
  ExpectVecNear({0, 1, 0}, TransformPoint({1, 0, 0}, m));
}

TEST(Transform, DirectionsIgnoreTheTranslation) {
  const Matrix4 m = Multiply(ScalingMatrix({2, 2, 2}), TranslationMatrix({1, 2, 3}));
  ExpectVecNear({3, 2, 3}, TransformPoint({1, 0, 0}, m));
  ExpectVecNear({2, 0, 0}, TransformDirection({1, 0, 0}, m));
}

TEST(PerspectiveFovRH, HasTheProjectionRows) {
  // 90 degrees: the cotangent of the half angle is 1.
  ExpectMatrixNear({{{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1.5f, -1}, {0, 0, -1.5f, 0}}},
                   PerspectiveFovRH(1.5707964f, 2.0f, 1.0f, 3.0f));
}

TEST(PerspectiveFovRH, MapsTheNearAndFarPlanesToDepthZeroAndOne) {
  const Matrix4 m = PerspectiveFovRH(1.2217305f, 4.0f / 3.0f, 0.05f, 50.0f);
  for (float distance : {0.05f, 50.0f}) {
    // A point straight ahead of a right-handed camera lies at -z.
    const float z = -distance * m.m[2][2] + m.m[3][2];
    const float w = -distance * m.m[2][3];
    EXPECT_NEAR(distance == 0.05f ? 0.0f : 1.0f, z / w, 1e-5f);
  }
}

TEST(LookAtRH, HasTheViewRows) {
  // From (3, 0, 4) toward the origin with Z up: zaxis (0.6, 0, 0.8), xaxis
  // (0, 1, 0), yaxis (-0.8, 0, 0.6).
  ExpectMatrixNear({{{0, -0.8f, 0.6f, 0}, {1, 0, 0, 0}, {0, 0.6f, 0.8f, 0}, {0, 0, -5, 1}}},
                   LookAtRH({3, 0, 4}, {0, 0, 0}, {0, 0, 1}));
  ExpectMatrixNear({{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {-1, -2, -3, 1}}},
                   LookAtRH({1, 2, 3}, {1, 2, 0}, {0, 1, 0}));
}

TEST(LookAtRH, PutsTheTargetStraightAheadOnMinusZ) {
  const Vec3 eye{2, -1, 3};
  const Vec3 target{0.5f, 0.25f, -1};
  const Matrix4 view = LookAtRH(eye, target, {0, 0, 1});
  const Vec3 seen = TransformPoint(target, view);
  const float distance = std::sqrt(1.5f * 1.5f + 1.25f * 1.25f + 4.0f * 4.0f);
  ExpectVecNear({0, 0, -distance}, seen, 1e-5f);
  ExpectVecNear({0, 0, 0}, TransformPoint(eye, view), 1e-5f);
}

TEST(LookAtRH, EyeOnTheTargetGivesNoNaN) {
  const Matrix4 view = LookAtRH({1, 1, 1}, {1, 1, 1}, {0, 0, 1});
  for (const auto& row : view.m) {
    for (float value : row) EXPECT_FALSE(std::isnan(value));
  }
}

}  // namespace
}  // namespace zam
