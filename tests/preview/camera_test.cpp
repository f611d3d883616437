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

TEST(RotateCamera, TurnsOneDegreePerPixel) {
  PreviewCamera camera;
  RotateCamera(camera, 90, 0);
  EXPECT_NEAR(kHalfPi, camera.cameraYaw, 1e-6f);
  EXPECT_EQ(0.0f, camera.cameraPitch);
  RotateCamera(camera, 0, 30);  // moving down raises the eye
  EXPECT_NEAR(kPi / 6, camera.cameraPitch, 1e-6f);
  EXPECT_GT(CameraEye(camera, {0, 0, 0}).z, 1.0f);
}

TEST(RotateCamera, StopsThePitchAtTheVertical) {
  PreviewCamera camera;
  RotateCamera(camera, 0, 200);
  EXPECT_EQ(kHalfPi, camera.cameraPitch);
  RotateCamera(camera, 0, -32768);
  EXPECT_EQ(-kHalfPi, camera.cameraPitch);
}

TEST(RotateCamera, WrapsTheYawPastHalfATurn) {
  PreviewCamera camera;
  RotateCamera(camera, 175, 0);
  RotateCamera(camera, 10, 0);  // 185 degrees is -175
  EXPECT_NEAR(-175 * 0.017453292f, camera.cameraYaw, 1e-5f);
  RotateCamera(camera, -20, 0);
  EXPECT_NEAR(165 * 0.017453292f, camera.cameraYaw, 1e-5f);
  for (int16_t dx : {int16_t{32767}, int16_t{-32768}}) {
    RotateCamera(camera, dx, 0);
    EXPECT_LE(camera.cameraYaw, kPi);
    EXPECT_GE(camera.cameraYaw, -kPi);
  }
}

TEST(RotateCamera, BringsAnAbsurdYawBackQuickly) {
  PreviewCamera camera;
  camera.cameraYaw = 1e30f;
  RotateCamera(camera, 1, 0);
  EXPECT_LE(std::fabs(camera.cameraYaw), kPi);
  camera.cameraYaw = INFINITY;
  RotateCamera(camera, 0, 0);
  EXPECT_EQ(0.0f, camera.cameraYaw);
}

TEST(ZoomCamera, MovesOneUnitPer25PixelsWithinItsLimits) {
  PreviewCamera camera;
  ZoomCamera(camera, 25);
  EXPECT_FLOAT_EQ(3.5f, camera.cameraDistance);
  ZoomCamera(camera, -100);
  EXPECT_FLOAT_EQ(0.1f, camera.cameraDistance);
  ZoomCamera(camera, 32767);
  EXPECT_FLOAT_EQ(15.0f, camera.cameraDistance);
  ResetCamera(camera);
  EXPECT_EQ(2.5f, camera.cameraDistance);
  EXPECT_EQ(0.0f, camera.cameraYaw);
  EXPECT_EQ(0.0f, camera.cameraPitch);
}

TEST(CameraViewMatrix, LooksFromPlusYTowardMinusYWithZUp) {
  const PreviewCamera camera;
  ExpectVecNear({0, 2.5f, 0}, CameraEye(camera, {0, 0, 0}));
  ExpectMatrixNear({{{-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 0}, {0, 0, -2.5f, 1}}},
                   CameraViewMatrix(camera, {0, 0, 0}));
}

TEST(CameraViewMatrix, OrbitsTheTargetAndMovesWithIt) {
  PreviewCamera camera;
  camera.cameraYaw = kHalfPi;
  ExpectVecNear({2.5f, 0, 0}, CameraEye(camera, {0, 0, 0}), 1e-6f);
  const Vec3 target{1, 2, 3};
  ExpectVecNear({3.5f, 2, 3}, CameraEye(camera, target), 1e-6f);
  ExpectVecNear({0, 0, -2.5f}, TransformPoint(target, CameraViewMatrix(camera, target)), 1e-5f);
}

TEST(CameraViewMatrix, StaysDefinedLookingStraightDown) {
  PreviewCamera camera;
  camera.cameraPitch = kHalfPi;
  const Matrix4 view = CameraViewMatrix(camera, {0, 0, 0});
  ExpectVecNear({0, 0, -2.5f}, TransformPoint({0, 0, 0}, view), 1e-5f);
  // Screen right stays world -X, as at pitch 0; screen up is world -Y, away
  // from the side the eye rose from.
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

TEST(PreviewProjection, HasTheProjectionOfThePreviewArea) {
  // cot(35 degrees) = 1.4281480; aspect 800 / 600.
  ExpectMatrixNear({{{1.0711110f, 0, 0, 0}, {0, 1.4281480f, 0, 0}, {0, 0, -1.001001f, -1}, {0, 0, -0.05005005f, 0}}},
                   PreviewProjection(800, 600), 1e-6f);
}

TEST(PreviewProjection, AnEmptyAreaIsTakenAsSquare) {
  for (const auto& size : {std::pair{0, 0}, std::pair{640, 0}, std::pair{0, 480}, std::pair{-5, 10}}) {
    const Matrix4 m = PreviewProjection(size.first, size.second);
    EXPECT_FLOAT_EQ(m.m[1][1], m.m[0][0]);
  }
}

}  // namespace
}  // namespace zam
