// Reading what the writer wrote, in the same layout and across layouts, with
// exactly the losses each layout implies.

#include <gtest/gtest.h>

#include <cstring>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "sample_packages.h"
#include "support/package_matchers.h"

namespace zam {
namespace {

using test::SamePackage;

std::vector<uint8_t> Write(const AnimPackage& package) {
  std::vector<uint8_t> out;
  EXPECT_EQ(WriteIfp(package, out), IfpWriteStatus::Ok);
  return out;
}

AnimPackage Read(const std::vector<uint8_t>& bytes) {
  AnimPackage package{};
  EXPECT_EQ(ReadIfp(bytes.data(), bytes.size(), package), IfpReadStatus::Ok);
  return package;
}

// A package using every ANPK field: all three key types, words, long names.
AnimPackage RichAnpkPackage() {
  AnimPackage package = gen::MakePackage({});
  SetName(package.name, "walk");
  for (Animation& animation : package.animations) animation.extraWord = 0x1234;
  BoneTrack& track = package.animations[1].bones[1];
  track.keyType = kKeyKRTS;
  track.anpkWord1 = 7;
  track.anpkWord2 = -9;
  std::memcpy(track.name, "Bip01 R Forearm Twist 27", 25);  // 24 characters
  for (KeyFrame& key : track.keys) key.scale[0] = key.scale[1] = key.scale[2] = 1.5f;
  return package;
}

TEST(IfpRoundTrip, AnpkKeepsEveryFieldAndRewritesIdenticalBytes) {
  AnimPackage original = RichAnpkPackage();
  std::vector<uint8_t> first = Write(original);
  AnimPackage back = Read(first);
  EXPECT_TRUE(SamePackage(original, back));
  EXPECT_EQ(Write(back), first);
}

TEST(IfpRoundTrip, Anp3KeepsFixedPointValuesAndSizes) {
  gen::PackageShape shape;
  shape.format = kFormatANP3;
  std::vector<uint8_t> first = Write(gen::MakePackage(shape));
  AnimPackage once = Read(first);
  std::vector<uint8_t> second = Write(once);
  ASSERT_EQ(second.size(), first.size());
  AnimPackage twice = Read(second);
  for (size_t a = 0; a < once.animations.size(); ++a) {
    EXPECT_EQ(once.animations[a].keyDataSize, twice.animations[a].keyDataSize);
    for (size_t t = 0; t < once.animations[a].bones.size(); ++t) {
      const BoneTrack& x = once.animations[a].bones[t];
      const BoneTrack& y = twice.animations[a].bones[t];
      ASSERT_EQ(x.keyCount(), y.keyCount());
      for (size_t k = 0; k < x.keys.size(); ++k) {
        EXPECT_EQ(std::memcmp(x.keys[k].rotation, y.keys[k].rotation, sizeof x.keys[k].rotation), 0);
        EXPECT_EQ(std::memcmp(x.keys[k].translation, y.keys[k].translation, 12), 0);
        // Time ticks may come back one lower (see TimeTicks below), never more.
        int before = static_cast<int>(x.keys[k].time * 60.0f + 0.5f);
        int after = static_cast<int>(y.keys[k].time * 60.0f + 0.5f);
        EXPECT_TRUE(after == before || after == before - 1) << before << " -> " << after;
      }
    }
  }
}

TEST(IfpRoundTrip, Anp3TimeTicksComeBackAsTheDoubleProductTruncates) {
  const std::pair<int, int> ticks[] = {{0, 0}, {1, 1}, {16, 16}, {17, 16}, {18, 18}, {19, 18},
                                       {20, 20}, {21, 20}, {23, 22}, {60, 60}};
  for (auto [stored, rewritten] : ticks) {
    float time = static_cast<float>(stored) / 60.0f;  // as the reader decodes it
    EXPECT_EQ(ToFixed16(time, 60.0), rewritten) << stored;
  }
}

TEST(IfpRoundTrip, AnpkToAnp3LosesNameTailsScaleWordsAndPrecision) {
  AnimPackage original = RichAnpkPackage();
  AnimPackage converted = original;
  converted.format = kFormatANP3;
  AnimPackage back = Read(Write(converted));
  EXPECT_EQ(back.format, kFormatANP3);
  const BoneTrack& krts = back.animations[1].bones[1];
  EXPECT_EQ(NameText(krts.name), "Bip01 R Forearm Twist 27");
  EXPECT_EQ(krts.keyType, kKeyKRT0);
  EXPECT_EQ(krts.keys[0].scale[0], 0.0f);
  EXPECT_EQ(krts.anpkWord1, 0);
  EXPECT_EQ(krts.anpkWord2, 0);
  EXPECT_EQ(back.animations[1].extraWord, 0x1234);
  const KeyFrame& before = original.animations[0].bones[0].keys[1];
  const KeyFrame& after = back.animations[0].bones[0].keys[1];
  EXPECT_NEAR(after.rotation[0], before.rotation[0], 1.0 / 4096);
  EXPECT_NEAR(after.translation[2], before.translation[2], 1.0 / 1024);
  EXPECT_NEAR(after.time, before.time, 1.0 / 60 + 1e-6);
}

TEST(IfpRoundTrip, AnpkToAnp3CutsBoneNamesToTwentyFourBytes) {
  AnimPackage package = RichAnpkPackage();
  std::memcpy(package.animations[0].bones[0].name, "twenty-six_characters_xyz", 26);
  package.format = kFormatANP3;
  AnimPackage back = Read(Write(package));
  EXPECT_EQ(NameText(back.animations[0].bones[0].name), "twenty-six_characters_xy");
}

TEST(IfpRoundTrip, Anp3ToAnpkKeepsValuesExactlyWithZeroWords) {
  gen::PackageShape shape;
  shape.format = kFormatANP3;
  AnimPackage fromAnp3 = Read(Write(gen::MakePackage(shape)));
  AnimPackage converted = fromAnp3;
  converted.format = kFormatANPK;
  AnimPackage back = Read(Write(converted));
  AnimPackage expected = fromAnp3;
  expected.format = kFormatANPK;
  EXPECT_TRUE(SamePackage(expected, back));
  for (const Animation& animation : back.animations) EXPECT_EQ(animation.keyDataSize, 0);
}

TEST(IfpRoundTrip, LargeGamePackageSurvivesBothLayouts) {
  for (uint32_t format : {kFormatANPK, kFormatANP3}) {
    std::vector<uint8_t> bytes = Write(gen::MakePackage(gen::LargeGameShape(format)));
    AnimPackage package = Read(bytes);
    EXPECT_EQ(package.animationCount(), 300);
    EXPECT_EQ(Write(package).size(), bytes.size());
  }
}

}  // namespace
}  // namespace zam
