#include "preview/preview_frame.h"

#include "math/matrix.h"

namespace zam {

bool IsDrawable(const SkinnedModelData& model) { return model.hasVertexBuffer && !model.vertices.empty(); }

bool IsDrawable(const WeaponModelData& model) { return model.hasVertexBuffer && !model.vertices.empty(); }

void PlanPreviewFrame(const PreviewFrameInput& input, Pose& pose, PreviewFrame& frame) {
  frame.lines = GridAndAxisRuns(input.options.showMesh, input.options.showAxis);
  frame.drawCharacter = IsDrawable(input.character);
  frame.drawWeapon = IsDrawable(input.weapon);
  frame.weaponWorld = IdentityMatrix();
  frame.pyramids.clear();
  Vec3 target{0.0f, 0.0f, 0.0f};
  if (frame.drawCharacter) {
    EvaluatePose(input.package, input.animation, input.time, input.character, pose);
    target = CameraTarget(input.options, pose.rootTranslation);
    if (input.options.showBone) {
      CollectBonePyramids(input.character, AnimationAt(input.package, input.animation), frame.pyramids);
    }
    // A character without a right-hand bone holds the weapon as if there
    // were no character: at the origin.
    const int hand = input.character.weaponBoneIndex;
    if (hand >= 0 && static_cast<size_t>(hand) < pose.boneMatrices.size()) {
      frame.weaponWorld = pose.boneMatrices[static_cast<size_t>(hand)];
    }
  }
  frame.view = CameraViewMatrix(input.camera, target);
}

}  // namespace zam
