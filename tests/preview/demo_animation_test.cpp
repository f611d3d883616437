// The demo package moves the demo character as its names say, standing on
// the ground grid and facing the preview camera.

#include <gtest/gtest.h>

#include <cmath>

#include "demo_animations.h"
#include "demo_models.h"
#include "model/skinned_model_loader.h"
#include "preview/pose.h"

namespace zam {
namespace {

enum Bone { kRoot = 0, kLUpperArm = 7, kLHand = 9, kRUpperArm = 11, kRHand = 13, kLFoot = 16, kRFoot = 19 };

class DemoAnimation : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<uint8_t> dff = gen::BuildCharacterDff(gen::DemoCharacter());
    ASSERT_TRUE(LoadSkinnedModel(dff.data(), dff.size(), nullptr, 0, character_).ok);
  }
  // Where bone `bone` is at `seconds` into animation `name`.
  Vec3 At(const char* name, float seconds, int bone) {
    int index = -1;
    for (int a = 0; a < package_.animationCount(); ++a) {
      if (NameText(package_.animations[a].name) == name) index = a;
    }
    EXPECT_GE(index, 0) << name;
    EvaluatePose(package_, index, seconds, character_, pose_);
    const Matrix4& m = pose_.boneMatrices[static_cast<size_t>(bone)];
    return {m.m[3][0], m.m[3][1], m.m[3][2]};
  }

  AnimPackage package_ = gen::DemoPackage(kFormatANPK);
  SkinnedModelData character_;
  Pose pose_;
};

TEST_F(DemoAnimation, MovesTheCharacterAsTheirNamesSay) {
  for (int foot : {kLFoot, kRFoot}) EXPECT_NEAR(At("idle", 0.0f, foot).z, -1.0f + 0.08f, 0.05f);
  EXPECT_LT(At("idle", 0.5f, kLHand).z, At("idle", 0.5f, kLUpperArm).z - 0.3f);
  EXPECT_LT(At("idle", 0.5f, kRHand).z, At("idle", 0.5f, kRUpperArm).z - 0.3f);
  // Turned about: its left side, +X in the model, is at -X.
  EXPECT_LT(At("idle", 0.0f, kLHand).x, 0.0f);
  // The wave raises the right hand; the walk moves forward, stepping.
  EXPECT_GT(At("wave", 0.5f, kRHand).z, At("wave", 0.5f, kRUpperArm).z + 0.2f);
  EXPECT_LT(At("wave", 0.5f, kLHand).z, At("wave", 0.5f, kLUpperArm).z - 0.3f);
  EXPECT_NEAR(At("walk", 0.5f, kRoot).y - At("walk", 0.0f, kRoot).y, 0.7f, 0.01f);
  float stride = At("walk", 0.25f, kLFoot).y - At("walk", 0.25f, kRFoot).y;
  EXPECT_GT(std::fabs(stride), 0.3f);
}

}  // namespace
}  // namespace zam
