// Dictionary textures as RGBA pixels: the DXT blocks decoded, packed
// formats in RGBA order.

#include "gltf/texture_rgba.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "base/fourcc.h"
#include "preview/texture_conversion.h"

namespace zam {
namespace {

using Pixel = std::array<uint8_t, 4>;

Pixel At(const std::vector<uint8_t>& rgba, uint32_t width, uint32_t x, uint32_t y) {
  const size_t i = (static_cast<size_t>(y) * width + x) * 4;
  return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
}

TextureImage Blocks(const char (&format)[5], uint32_t width, uint32_t height, std::vector<uint8_t> block) {
  const uint32_t blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
  TextureImage image;
  image.format = FourCC(format);
  image.width = width;
  image.height = height;
  image.rowSize = static_cast<uint32_t>(block.size()) * blocksWide;
  image.rowCount = blocksHigh;
  image.level0.resize(block.size() * blocksWide * blocksHigh);
  for (size_t i = 0; i < image.level0.size(); ++i) image.level0[i] = block[i % block.size()];
  return image;
}

// Colour block: red (0xF800) and blue (0x001F), texel i taking palette entry i % 4.
constexpr uint8_t kRedBlue[] = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0xE4, 0xE4, 0xE4};
// The same colours the other way round: a DXT1 block of three colours and transparent black.
constexpr uint8_t kBlueRed[] = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0xE4, 0xE4, 0xE4};

TEST(TextureRgba, DecodesTheDxtBlocksAndPackedPixels) {
  std::vector<uint8_t> rgba;
  // Four colours: red, blue, two thirds red, two thirds blue.
  ASSERT_TRUE(TextureToRgba(Blocks("DXT1", 4, 4, {std::begin(kRedBlue), std::end(kRedBlue)}), rgba));
  EXPECT_EQ(At(rgba, 4, 0, 0), (Pixel{255, 0, 0, 255}));
  EXPECT_EQ(At(rgba, 4, 1, 2), (Pixel{0, 0, 255, 255}));
  EXPECT_EQ(At(rgba, 4, 2, 0), (Pixel{170, 0, 85, 255}));
  EXPECT_EQ(At(rgba, 4, 3, 3), (Pixel{85, 0, 170, 255}));
  // Three colours and transparency; a size that is no multiple of 4 keeps its pixels.
  ASSERT_TRUE(TextureToRgba(Blocks("DXT1", 6, 3, {std::begin(kBlueRed), std::end(kBlueRed)}), rgba));
  ASSERT_EQ(rgba.size(), 6u * 3 * 4);
  EXPECT_EQ(At(rgba, 6, 2, 1), (Pixel{127, 0, 127, 255}));
  EXPECT_EQ(At(rgba, 6, 3, 2), (Pixel{0, 0, 0, 0}));
  EXPECT_EQ(At(rgba, 6, 5, 2), (Pixel{255, 0, 0, 255}));

  // DXT3: 4-bit alphas, texel 0 holding 0x1 and texel 1 0xF.
  std::vector<uint8_t> dxt3 = {0xF1, 0, 0, 0, 0, 0, 0, 0};
  dxt3.insert(dxt3.end(), std::begin(kBlueRed), std::end(kBlueRed));
  ASSERT_TRUE(TextureToRgba(Blocks("DXT3", 4, 4, dxt3), rgba));
  EXPECT_EQ(At(rgba, 4, 0, 0), (Pixel{0, 0, 255, 17}));
  EXPECT_EQ(At(rgba, 4, 3, 0), (Pixel{170, 0, 85, 0}));  // always four colours
  EXPECT_EQ(At(rgba, 4, 1, 0)[3], 255);

  // DXT5: alphas 200 and 100 with six between; indices 0, 1, 2, 7 for the first texels.
  std::vector<uint8_t> dxt5 = {200, 100, 0x88, 0x0E, 0, 0, 0, 0};
  dxt5.insert(dxt5.end(), std::begin(kRedBlue), std::end(kRedBlue));
  ASSERT_TRUE(TextureToRgba(Blocks("DXT5", 4, 4, dxt5), rgba));
  EXPECT_EQ(At(rgba, 4, 0, 0)[3], 200);
  EXPECT_EQ(At(rgba, 4, 1, 0)[3], 100);
  EXPECT_EQ(At(rgba, 4, 2, 0)[3], (200 * 6 + 100) / 7);
  EXPECT_EQ(At(rgba, 4, 3, 0)[3], (200 + 100 * 6) / 7);
  // With the first alpha not above the second: four between, then 0 and 255.
  dxt5[0] = 100;
  dxt5[1] = 200;
  dxt5[2] = 0x80;  // texels 0 and 1: index 0; texel 2: index 6 (0)
  dxt5[3] = 0x0F;  // texel 3: index 7 (255)
  ASSERT_TRUE(TextureToRgba(Blocks("DXT5", 4, 4, dxt5), rgba));
  EXPECT_EQ(At(rgba, 4, 2, 0)[3], 0);
  EXPECT_EQ(At(rgba, 4, 3, 0)[3], 255);

  TextureImage argb;
  argb.format = kFormatA8R8G8B8;
  argb.width = argb.height = argb.rowCount = 1;
  argb.rowSize = 4;
  argb.level0 = {0x30, 0x20, 0x10, 0x80};  // 0x80102030
  ASSERT_TRUE(TextureToRgba(argb, rgba));
  EXPECT_EQ(At(rgba, 1, 0, 0), (Pixel{0x10, 0x20, 0x30, 0x80}));

  TextureImage cut = Blocks("DXT1", 8, 8, {std::begin(kRedBlue), std::end(kRedBlue)});
  cut.level0.resize(cut.level0.size() - 1);
  EXPECT_FALSE(TextureToRgba(cut, rgba));
  cut.format = FourCC("ATI2");
  EXPECT_FALSE(TextureToRgba(cut, rgba));
}

}  // namespace
}  // namespace zam
