#include "preview/camera.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../math/math_expect.h"
#include "math/matrix.h"

namespace zam {
namespace {

using test::ExpectMatrixNear;
using test::ExpectVecNear;

constexpr float kPi = 3.1415927f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kDegree = 0.017453292f;

TEST(RotateCamera, TurnsOneDegreePerPixelStopsAtTheVerticalAndWrapsTheYaw) {
  PreviewCamera camera;
  RotateCamera(camera, 90, 30);  // moving down raises the eye
  EXPECT_NEAR(kHalfPi, camera.cameraYaw, 1e-6f);
  EXPECT_NEAR(kPi / 6, camera.cameraPitch, 1e-6f);
  EXPECT_GT(CameraEye(camera, {0, 0, 0}).z, 1.0f);
  RotateCamera(camera, 0, 200);
  EXPECT_EQ(kHalfPi, camera.cameraPitch);
  RotateCamera(camera, 0, -32768);
  EXPECT_EQ(-kHalfPi, camera.cameraPitch);
  RotateCamera(camera, 95, 0);  // 185 degrees is -175
  EXPECT_NEAR(-175 * kDegree, camera.cameraYaw, 1e-5f);
  RotateCamera(camera, -20, 0);
  EXPECT_NEAR(165 * kDegree, camera.cameraYaw, 1e-5f);
  for (float absurd : {1e30f, INFINITY}) {
    camera.cameraYaw = absurd;
    RotateCamera(camera, 32767, 0);
    EXPECT_LE(std::fabs(camera.cameraYaw), kPi);
  }
}

TEST(ZoomCamera, MovesOneUnitPer25PixelsWithinItsLimits) {
  PreviewCamera camera;
  ZoomCamera(camera, 25);
  EXPECT_FLOAT_EQ(3.5f, camera.cameraDistance);
  ZoomCamera(camera, -100);
  EXPECT_FLOAT_EQ(0.1f, camera.cameraDistance);
  ZoomCamera(camera, 32767);
  EXPECT_FLOAT_EQ(15.0f, camera.cameraDistance);
  camera.cameraYaw = 1;
  ResetCamera(camera);
  EXPECT_EQ(2.5f, camera.cameraDistance);
  EXPECT_EQ(0.0f, camera.cameraYaw);
}

TEST(CameraViewMatrix, OrbitsTheTargetFromPlusYWithZUp) {
  PreviewCamera camera;
  ExpectMatrixNear({{{-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, -2.5f, 1}}},
                   CameraViewMatrix(camera, {0, 0, 0}));
  camera.cameraYaw = kHalfPi;
  const Vec3 target{1, 2, 3};
  ExpectVecNear({3.5f, 2, 3}, CameraEye(camera, target), 1e-6f);
  ExpectVecNear({0, 0, -2.5f}, TransformPoint(target, CameraViewMatrix(camera, target)), 1e-5f);
  // Straight down: screen right stays world -X, screen up is world -Y.
  camera = PreviewCamera{};
  camera.cameraPitch = kHalfPi;
  const Matrix4 view = CameraViewMatrix(camera, {0, 0, 0});
  ExpectVecNear({-1, 0, 0}, TransformDirection({1, 0, 0}, view), 1e-5f);
  ExpectVecNear({0, 1, 0}, TransformDirection({0, -1, 0}, view), 1e-5f);
}

TEST(CameraTarget, FollowsTheRootOnlyInTheRootView) {
  PreviewOptions options;
  const Vec3 root{1, 2, 3};
  ExpectVecNear({0, 0, 0}, CameraTarget(options, root));
  options.specView = true;
  ExpectVecNear(root, CameraTarget(options, root));
  ExpectVecNear({0, 0, 0}, CameraTarget(options, std::nullopt));
}

TEST(PreviewProjection, FollowsTheAreaAndTakesAnEmptyOneAsSquare) {
  // cot(35 degrees) = 1.4281480; aspect 800 / 600.
  ExpectMatrixNear({{{1.0711110f, 0, 0, 0}, {0, 1.4281480f, 0, 0}, {0, 0, -1.001001f, -1}, {0, 0, -0.05005005f, 0}}},
                   PreviewProjection(800, 600), 1e-6f);
  for (const auto& size : {std::pair{0, 0}, std::pair{640, 0}, std::pair{0, 480}, std::pair{-5, 10}}) {
    const Matrix4 m = PreviewProjection(size.first, size.second);
    EXPECT_FLOAT_EQ(m.m[1][1], m.m[0][0]);
  }
}

}  // namespace
}  // namespace zam
