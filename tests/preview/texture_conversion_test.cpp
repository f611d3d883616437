// Textures as the preview gets them: read from dictionaries of both texture
// platforms in every raster format and palette depth, and decoded on the CPU
// into 32-bit pixels, texel for texel.

#include "preview/texture_conversion.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/fourcc.h"
#include "base/messages.h"
#include "format_textures.h"
#include "model/skinned_model_loader.h"

namespace zam {
namespace {

// The previous game's Direct3D 8 dictionaries and the game's own Direct3D 9
// ones: each texture decodes to the image it was made from (opaque where its
// format has no alpha); one of a format no loader knows is kept without a
// level, is never offered to the device, and leaves the others textured.
TEST(TextureFormats, EveryRasterFormatAndPaletteDepthDecodesEveryTexel) {
  const std::vector<uint32_t> image = gen::FormatImage();
  const std::vector<uint8_t> dff = gen::BuildCharacterDff(gen::FormatsCharacter());
  for (uint32_t platform : {gen::kPlatformD3D8, gen::kPlatformD3D9}) {
    const gen::DictionaryDesc dictionary = gen::FormatTextures(platform);
    const std::vector<uint8_t> txd = gen::BuildTxd(dictionary);
    SkinnedModelData model;
    const ModelLoadResult result = LoadSkinnedModel(dff.data(), dff.size(), txd.data(), txd.size(), model);
    ASSERT_TRUE(result.ok) << MessageText(result.message);
    ASSERT_EQ(model.mesh.textures.size(), dictionary.textures.size());
    for (const MaterialMesh& material : model.mesh.materials) {
      const TextureImage* texture = model.mesh.TextureOf(material);
      ASSERT_NE(texture, nullptr);
      EXPECT_EQ(texture->platform, platform);
      std::vector<uint32_t> pixels;
      if (texture->name == "unknown") {
        EXPECT_TRUE(texture->level0.empty());
        EXPECT_FALSE(ConvertToA8R8G8B8(*texture, pixels));
        EXPECT_FALSE(OffersStoredFormat(*texture));
        continue;
      }
      ASSERT_TRUE(ConvertToA8R8G8B8(*texture, pixels)) << platform << " " << texture->name;
      std::vector<uint32_t> expected = image;
      if (!gen::FormatKeepsAlpha(texture->name)) {
        for (uint32_t& texel : expected) texel |= 0xFF000000;
      }
      EXPECT_EQ(pixels, expected) << platform << " " << texture->name;
      // The preview sets no device palette: paletted images always go converted.
      EXPECT_EQ(OffersStoredFormat(*texture), texture->format != kFormatP8) << texture->name;
    }
  }
}

// Colours between the end points rounded to nearest, a DXT1 block of three
// colours and transparency, DXT5 blocks of eight and of six alphas, and
// blocks cut by the image's right edge.
TEST(TextureFormats, DxtBlocksInterpolateExactly) {
  TextureImage dxt1;
  dxt1.format = FourCC("DXT1");
  dxt1.width = 7;
  dxt1.height = dxt1.rowCount = 1;
  dxt1.rowSize = 16;
  // Red above blue: four colours; then blue not above red: three and transparency.
  dxt1.level0 = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0, 0, 0, 0x1F, 0x00, 0x00, 0xF8, 0x4E, 0, 0, 0};
  std::vector<uint32_t> pixels;
  ASSERT_TRUE(ConvertToA8R8G8B8(dxt1, pixels));
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF, 0xFFAA0055, 0xFF5500AA, 0xFF800080, 0x00000000,
                                           0xFF0000FF}));
  // A 5:6:5 grey widens to the nearest 8-bit values.
  dxt1.level0 = {0x10, 0x84, 0x10, 0x84, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(ConvertToA8R8G8B8(dxt1, pixels));
  EXPECT_EQ(pixels[0], 0xFF848284u);

  TextureImage dxt5;
  dxt5.format = FourCC("DXT5");
  dxt5.width = 8;
  dxt5.height = dxt5.rowCount = 1;
  dxt5.rowSize = 32;
  dxt5.level0 = {200, 100, 0x42, 0x0E, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0,
                 0,   100, 0xF2, 0x0B, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0};
  ASSERT_TRUE(ConvertToA8R8G8B8(dxt5, pixels));
  EXPECT_EQ(pixels, (std::vector<uint32_t>{0xBAFFFFFF, 0xC8FFFFFF, 0x64FFFFFF, 0x72FFFFFF, 0x14FFFFFF, 0x00FFFFFF,
                                           0xFFFFFFFF, 0x50FFFFFF}));
}

TEST(ConvertToA8R8G8B8, EveryUncompressedFormatGivesTheSameColours) {
  struct Case {
    uint32_t format;
    std::vector<uint8_t> pixel;
    uint32_t expected;
  };
  const Case cases[] = {
      {20, {0x30, 0x20, 0x10}, 0xFF102030},        // R8G8B8 stored B, G, R
      {21, {0x30, 0x20, 0x10, 0x80}, 0x80102030},  // A8R8G8B8
      {22, {0x30, 0x20, 0x10, 0x00}, 0xFF102030},  // X8R8G8B8: opaque
      {23, {0x1F, 0xF8}, 0xFFFF00FF},              // R5G6B5: red and blue full
      {25, {0x00, 0x80}, 0xFF000000},              // A1R5G5B5: alpha bit only
      {26, {0x0F, 0xF0}, 0xFF0000FF},              // A4R4G4B4
      {28, {0x40}, 0x40000000},                    // A8
      {32, {0x10, 0x20, 0x30, 0x80}, 0x80102030},  // A8B8G8R8 stored R, G, B, A
      {35, {0xFF, 0x03, 0x00, 0xC0}, 0xFF0000FF},  // A2R10G10B10: blue full, alpha full
      {50, {0x7F}, 0xFF7F7F7F},                    // L8
      {51, {0x7F, 0x10}, 0x107F7F7F},              // A8L8
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
  std::vector<uint32_t> pixels;
  TextureImage shortDxt;
  shortDxt.format = FourCC("DXT1");
  shortDxt.width = shortDxt.height = shortDxt.rowCount = 1;
  shortDxt.rowSize = 8;
  EXPECT_FALSE(ConvertToA8R8G8B8(shortDxt, pixels)) << "a level shorter than its block";
  TextureImage withoutPalette = shortDxt;
  withoutPalette.format = kFormatP8;
  withoutPalette.level0 = {0};
  EXPECT_FALSE(ConvertToA8R8G8B8(withoutPalette, pixels));
  withoutPalette.format = 60;  // V8U8: no colours
  EXPECT_FALSE(ConvertToA8R8G8B8(withoutPalette, pixels));
}

}  // namespace
}  // namespace zam
