#pragma once
// The preview's orbit camera: it circles the target about the Z axis (yaw),
// rises above the XY plane (pitch) and keeps its distance; and the
// projection of the preview area.

#include <cstdint>
#include <optional>

#include "math/types.h"
#include "preview/scene.h"

namespace zam {

inline constexpr float kDefaultCameraDistance = 2.5f;

struct PreviewCamera {
  float cameraYaw = 0.0f;    // radians, within [-pi, pi]
  float cameraPitch = 0.0f;  // radians, within [-pi/2, pi/2]
  float cameraDistance = kDefaultCameraDistance;  // within [0.1, 15]
};

void ResetCamera(PreviewCamera& camera);

// One degree per pixel: moving right turns the camera, moving down raises
// the eye. Yaw wraps around at +-pi, pitch stops at +-pi/2. The mouse
// reports its moves as signed 16-bit differences.
void RotateCamera(PreviewCamera& camera, int16_t dx, int16_t dy);

// 25 pixels down move the eye one unit away; the distance stays within
// [0.1, 15].
void ZoomCamera(PreviewCamera& camera, int16_t dy);

// What the camera looks at: the origin, or in the root-following view the
// root translation of the current pose when there is one.
Vec3 CameraTarget(const PreviewOptions& options, const std::optional<Vec3>& rootTranslation);

Vec3 CameraEye(const PreviewCamera& camera, const Vec3& target);
// The right-handed view from the camera's eye toward `target`, Z up at yaw 0
// and pitch 0 (eye on +Y looking toward -Y).
Matrix4 CameraViewMatrix(const PreviewCamera& camera, const Vec3& target);

// 70 degrees vertical field of view, near 0.05, far 50, for a client area of
// width x height pixels; an empty area (a minimised window) is taken as
// square.
Matrix4 PreviewProjection(int width, int height);

}  // namespace zam
