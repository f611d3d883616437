#pragma once
// What one preview frame draws, worked out on the CPU: the view, the line
// runs, whether the character is drawn (posed by `pose`), the bone pyramids
// and where the weapon goes. The device only issues the draws.

#include <vector>

#include "anim/anim_package.h"
#include "math/types.h"
#include "model/model_data.h"
#include "preview/camera.h"
#include "preview/pose.h"
#include "preview/preview_options.h"
#include "preview/scene.h"

namespace zam {

struct PreviewFrameInput {
  const AnimPackage& package;
  int animation;  // -1: none, the model pose
  float time;
  const PreviewOptions& options;
  const PreviewCamera& camera;
  const SkinnedModelData& character;
  const WeaponModelData& weapon;
};

struct PreviewFrame {
  Matrix4 view;
  LineRuns lines;
  bool drawCharacter = false;  // skinned by the pose's skinning matrices
  std::vector<BonePyramid> pyramids;
  bool drawWeapon = false;
  Matrix4 weaponWorld;
};

// A model is drawn once its load completed (vertices and the meshes that use them).
bool IsDrawable(const SkinnedModelData& model);
bool IsDrawable(const WeaponModelData& model);

// Fills `frame` and, with a drawable character, `pose`; both keep their
// memory from frame to frame, so a frame allocates nothing once sized.
void PlanPreviewFrame(const PreviewFrameInput& input, Pose& pose, PreviewFrame& frame);

}  // namespace zam
