// What a preview frame decides before any drawing: which models are drawn,
// where the weapon goes, and how textures a device refuses are converted.

#include <gtest/gtest.h>

#include <cstring>

#include "demo_models.h"
#include "dff_builder.h"
#include "math/matrix.h"
#include "model/skinned_model_loader.h"
#include "preview/preview_frame.h"
#include "preview/texture_conversion.h"

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

TEST(ConvertToA8R8G8B8, EveryUncompressedFormatGivesTheSameColours) {
  struct Case {
    uint32_t format;
    std::vector<uint8_t> pixel;
    uint32_t expected;
  };
  const Case cases[] = {
      {20, {0x30, 0x20, 0x10}, 0xFF102030},              // R8G8B8 stored B, G, R
      {21, {0x30, 0x20, 0x10, 0x80}, 0x80102030},        // A8R8G8B8
      {22, {0x30, 0x20, 0x10, 0x00}, 0xFF102030},        // X8R8G8B8: opaque
      {23, {0x1F, 0xF8}, 0xFFFF00FF},                    // R5G6B5: red and blue full
      {25, {0x00, 0x80}, 0xFF000000},                    // A1R5G5B5: alpha bit only
      {26, {0x0F, 0xF0}, 0xFF0000FF},                    // A4R4G4B4
      {28, {0x40}, 0x40000000},                          // A8
      {32, {0x10, 0x20, 0x30, 0x80}, 0x80102030},        // A8B8G8R8 stored R, G, B, A
      {35, {0xFF, 0x03, 0x00, 0xC0}, 0xFF0000FF},        // A2R10G10B10: blue full, alpha full
      {50, {0x7F}, 0xFF7F7F7F},                          // L8
      {51, {0x7F, 0x10}, 0x107F7F7F},                    // A8L8
  };
  for (const Case& c : cases) {
    TextureImage image;
    image.format = c.format;
    image.width = image.height = image.rowCount = 1;
    image.rowSize = static_cast<uint32_t>(c.pixel.size());
    image.level0 = c.pixel;
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(ConvertToA8R8G8B8(image, pixels)) << c.format;
    EXPECT_EQ(pixels[0], c.expected) << c.format;
  }
  TextureImage dxt;
  dxt.format = FourCC("DXT1");
  std::vector<uint32_t> pixels;
  EXPECT_FALSE(ConvertToA8R8G8B8(dxt, pixels));
}

}  // namespace
}  // namespace zam
