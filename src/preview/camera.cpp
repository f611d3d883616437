#include "preview/camera.h"

#include <cmath>

#include "math/matrix.h"
#include "math/vector.h"

namespace zam {
namespace {

// The constants as floats, the way the camera has always rounded them.
constexpr float kRadiansPerPixel = 0.017453292f;
constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kHalfPi = 1.5707964f;
constexpr double kPixelsPerDistanceUnit = 25.0;
constexpr double kMinDistance = 0.1;
constexpr double kMaxDistance = 15.0;

constexpr float kFieldOfView = 1.2217305f;  // 70 degrees
constexpr float kNearPlane = 0.05f;
constexpr float kFarPlane = 50.0f;

}  // namespace

void ResetCamera(PreviewCamera& camera) { camera = PreviewCamera{}; }

void RotateCamera(PreviewCamera& camera, int16_t dx, int16_t dy) {
  float yaw = static_cast<float>(camera.cameraYaw + dx * static_cast<double>(kRadiansPerPixel));
  float pitch = static_cast<float>(camera.cameraPitch + dy * static_cast<double>(kRadiansPerPixel));
  // The fields are plain data: a yaw put far out of range elsewhere is first
  // brought near it, so that the wrap below takes a few steps, not forever.
  if (!std::isfinite(yaw)) {
    yaw = 0.0f;
  } else if (std::fabs(yaw) > 1024.0f) {
    yaw = std::remainder(yaw, kTwoPi);
  }
  while (yaw > kPi) yaw -= kTwoPi;
  while (yaw < -kPi) yaw += kTwoPi;
  if (pitch > kHalfPi) pitch = kHalfPi;
  if (pitch < -kHalfPi) pitch = -kHalfPi;
  camera.cameraYaw = yaw;
  camera.cameraPitch = pitch;
}

void ZoomCamera(PreviewCamera& camera, int16_t dy) {
  double distance = camera.cameraDistance + dy / kPixelsPerDistanceUnit;
  if (distance < kMinDistance) distance = kMinDistance;
  if (distance > kMaxDistance) distance = kMaxDistance;
  camera.cameraDistance = static_cast<float>(distance);
}

Vec3 CameraTarget(const PreviewOptions& options, const std::optional<Vec3>& rootTranslation) {
  if (options.specView && rootTranslation) return *rootTranslation;
  return {0.0f, 0.0f, 0.0f};
}

Vec3 CameraEye(const PreviewCamera& camera, const Vec3& target) {
  const float cosPitch = std::cos(camera.cameraPitch);
  const Vec3 direction{cosPitch * std::sin(camera.cameraYaw), cosPitch * std::cos(camera.cameraYaw),
                       std::sin(camera.cameraPitch)};
  return Add(target, Scale(direction, camera.cameraDistance));
}

Matrix4 CameraViewMatrix(const PreviewCamera& camera, const Vec3& target) {
  const float sinPitch = std::sin(camera.cameraPitch);
  // Perpendicular to the line of sight, so the view stays defined looking
  // straight down or up.
  const Vec3 up{-sinPitch * std::sin(camera.cameraYaw), -sinPitch * std::cos(camera.cameraYaw),
                std::cos(camera.cameraPitch)};
  return LookAtRH(CameraEye(camera, target), target, up);
}

Matrix4 PreviewProjection(int width, int height) {
  const float aspect = width > 0 && height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f;
  return PerspectiveFovRH(kFieldOfView, aspect, kNearPlane, kFarPlane);
}

}  // namespace zam
