#include "math/matrix.h"

#include <gtest/gtest.h>

#include <cmath>

#include "math_expect.h"

namespace zam {
namespace {

using test::ExpectMatrixNear;
using test::ExpectVecNear;

const Quaternion kQuarterTurnZ{0, 0, std::sqrt(0.5f), std::sqrt(0.5f)};

TEST(MatrixProduct, AppliesTheLeftMatrixFirst) {
  ExpectMatrixNear({{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {10, 18, 28, 1}}},
                   Multiply(TranslationMatrix({5, 6, 7}), ScalingMatrix({2, 3, 4})));
  // Moving (1, 0, 0) and then turning 90 degrees about Z ends on +Y.
  const Matrix4 turn = RotationMatrix(kQuarterTurnZ);
  ExpectVecNear({0, 1, 0}, TransformPoint({0, 0, 0}, Multiply(TranslationMatrix({1, 0, 0}), turn)));
  ExpectVecNear({1, 0, 0}, TransformPoint({0, 0, 0}, Multiply(turn, TranslationMatrix({1, 0, 0}))));
  const Matrix4 m = Multiply(ScalingMatrix({2, 2, 2}), TranslationMatrix({1, 2, 3}));
  ExpectVecNear({2, 0, 0}, TransformDirection({1, 0, 0}, m));  // directions ignore the translation
}

TEST(RotationMatrix, HasTheQuaternionRows) {
  // Not normalised, so that every term of every row shows.
  ExpectMatrixNear({{{-25, 28, -10, 0}, {-20, -19, 20, 0}, {22, 4, -9, 0}, {0, 0, 0, 1}}}, RotationMatrix({1, 2, 3, 4}));
}

TEST(PerspectiveFovRH, MapsTheNearAndFarPlanesToDepthZeroAndOne) {
  ExpectMatrixNear({{{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1.5f, -1}, {0, 0, -1.5f, 0}}},
                   PerspectiveFovRH(1.5707964f, 2.0f, 1.0f, 3.0f));
  const Matrix4 m = PerspectiveFovRH(1.2217305f, 4.0f / 3.0f, 0.05f, 50.0f);
  for (float distance : {0.05f, 50.0f}) {
    // A point straight ahead of a right-handed camera lies at -z.
    EXPECT_NEAR(distance == 0.05f ? 0.0f : 1.0f, (-distance * m.m[2][2] + m.m[3][2]) / (-distance * m.m[2][3]), 1e-5f);
  }
}

TEST(LookAtRH, PutsTheTargetStraightAheadOnMinusZ) {
  // From (3, 0, 4) toward the origin with Z up.
  ExpectMatrixNear({{{0, -0.8f, 0.6f, 0}, {1, 0, 0, 0}, {0, 0.6f, 0.8f, 0}, {0, 0, -5, 1}}},
                   LookAtRH({3, 0, 4}, {0, 0, 0}, {0, 0, 1}));
  const Vec3 eye{2, -1, 3}, target{0.5f, 0.25f, -1};
  const Matrix4 view = LookAtRH(eye, target, {0, 0, 1});
  ExpectVecNear({0, 0, -std::sqrt(1.5f * 1.5f + 1.25f * 1.25f + 4.0f * 4.0f)}, TransformPoint(target, view), 1e-5f);
  ExpectVecNear({0, 0, 0}, TransformPoint(eye, view), 1e-5f);
  for (const auto& row : LookAtRH({1, 1, 1}, {1, 1, 1}, {0, 0, 1}).m)
    for (float value : row) EXPECT_FALSE(std::isnan(value)) << "eye on the target";
}

}  // namespace
}  // namespace zam
