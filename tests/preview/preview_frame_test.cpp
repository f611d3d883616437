// What a preview frame decides before any drawing: which models are drawn
// and where the weapon goes.

#include <gtest/gtest.h>

#include <cstring>

#include "demo_models.h"
#include "dff_builder.h"
#include "math/matrix.h"
#include "model/skinned_model_loader.h"
#include "preview/preview_frame.h"

namespace zam {
namespace {

SkinnedModelData Character(gen::CharacterDesc desc) {
  SkinnedModelData model;
  std::vector<uint8_t> dff = gen::BuildCharacterDff(desc);
  EXPECT_TRUE(LoadSkinnedModel(dff.data(), dff.size(), nullptr, 0, model).ok);
  return model;
}

// The weapon goes to the right hand, or to the origin without one; a model
// whose load stopped before its last pass is not drawn, nor are its bones.
TEST(PlanPreviewFrame, WeaponGoesToTheRightHandOrTheOrigin) {
  AnimPackage package{};
  PreviewOptions options;
  PreviewCamera camera;
  WeaponModelData weapon;
  weapon.hasVertexBuffer = true;
  weapon.vertices.resize(3);
  Pose pose;
  PreviewFrame frame;
  gen::CharacterDesc handless = gen::SmallCharacter();
  handless.bones[2].name = "R Finger";
  for (const gen::CharacterDesc& desc : {gen::SmallCharacter(), handless}) {
    SkinnedModelData model = Character(desc);
    PlanPreviewFrame({package, -1, 0.0f, options, camera, model, weapon}, pose, frame);
    ASSERT_TRUE(frame.drawCharacter && frame.drawWeapon);
    EXPECT_FALSE(frame.pyramids.empty());
    const Matrix4 expected = model.weaponBoneIndex < 0 ? IdentityMatrix() : pose.boneMatrices[2];
    EXPECT_EQ(std::memcmp(&frame.weaponWorld, &expected, sizeof(Matrix4)), 0) << model.weaponBoneIndex;
    model.hasVertexBuffer = false;
    PlanPreviewFrame({package, -1, 0.0f, options, camera, model, weapon}, pose, frame);
    EXPECT_FALSE(frame.drawCharacter);
    EXPECT_TRUE(frame.pyramids.empty());
  }
}

}  // namespace
}  // namespace zam
