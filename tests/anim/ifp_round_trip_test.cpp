// Reading what the writer wrote, in the same layout and across layouts, with
// exactly the losses each layout implies.

#include <gtest/gtest.h>

#include <cstring>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "sample_packages.h"
#include "support/package_matchers.h"
#include "support/raw_bytes.h"

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

// Opening and saving an ANP3 file must not move a single key: every 16-bit
// time tick (read as the float nearest to tick/60) is written back as itself,
// and so are the rotation and translation integers.
TEST(IfpRoundTrip, Anp3KeepsEverySixteenBitTickThroughTenSaves) {
  constexpr int kKeys = 65536;
  test::RawBytes file;
  file.Tag("ANP3");
  size_t packageSize = file.ReserveSize();
  file.Text("ticks", 24).I32(1).Text("all", 24).I32(1).I32(kKeys * 16).I32(0);
  file.Text("root", 24).I32(4).I32(kKeys).I32(0);
  for (int tick = 0; tick < kKeys; ++tick) {
    int16_t v = static_cast<int16_t>(tick);
    file.I16(v).I16(static_cast<int16_t>(-v)).I16(0).I16(4096);  // rotation
    file.I16(v).I16(v).I16(-1).I16(static_cast<int16_t>(tick * 7));   // time, translation
  }
  file.PatchSize(packageSize);
  std::vector<uint8_t> saved = file.bytes();
  for (int save = 0; save < 10; ++save) {
    saved = Write(Read(saved));
    ASSERT_EQ(saved, file.bytes()) << "save " << save + 1;
  }
}

TEST(IfpRoundTrip, AnpkToAnp3LosesNameTailsScaleWordsAndPrecision) {
  AnimPackage original = RichAnpkPackage();
  AnimPackage converted = original;
  converted.format = kFormatANP3;
  std::memcpy(converted.animations[0].bones[0].name, "twenty-six_characters_xyz", 26);
  AnimPackage back = Read(Write(converted));
  EXPECT_EQ(NameText(back.animations[0].bones[0].name), "twenty-six_characters_xy");
  EXPECT_EQ(back.format, kFormatANP3);
  const BoneTrack& krts = back.animations[1].bones[1];
  EXPECT_EQ(NameText(krts.name), "Bip01 R Forearm Twist 27");
  EXPECT_EQ(krts.keyType, kKeyKRT0);
  EXPECT_EQ(krts.keys[0].scale[0], 0.0f);
  EXPECT_EQ(krts.anpkWord1, 0);
  EXPECT_EQ(krts.anpkWord2, 0);
  EXPECT_EQ(back.animations[1].extraWord, 1);  // the compression flag, as the game's own packages carry it
  const KeyFrame& before = original.animations[0].bones[0].keys[1];
  const KeyFrame& after = back.animations[0].bones[0].keys[1];
  EXPECT_NEAR(after.rotation[0], before.rotation[0], 1.0 / 4096);
  EXPECT_NEAR(after.translation[2], before.translation[2], 1.0 / 1024);
  EXPECT_NEAR(after.time, before.time, 0.5 / 60 + 1e-6);  // the nearest tick
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

TEST(IfpRoundTrip, LargeGamePackageIsSavedAgainByteIdenticalInBothLayouts) {
  for (uint32_t format : {kFormatANPK, kFormatANP3}) {
    std::vector<uint8_t> bytes = Write(gen::MakePackage(gen::LargeGameShape(format)));
    AnimPackage package = Read(bytes);
    EXPECT_EQ(package.animationCount(), 300);
    EXPECT_EQ(Write(package), bytes);
  }
}

// Every layout, key encoding, ANIM section size and empty track the game
// reads comes back byte for byte; float keys and ANPK keep their values exactly.
TEST(IfpRoundTrip, EveryKindOfPackageIsSavedAgainByteIdentical) {
  struct Kind {
    uint32_t format;
    bool floatFrames;
    int animSize;
  };
  for (Kind kind : {Kind{kFormatANPK, false, 44}, Kind{kFormatANPK, false, 40}, Kind{kFormatANPK, false, 48},
                    Kind{kFormatANP3, false, 44}, Kind{kFormatANP3, true, 44}, Kind{kFormatANP2, false, 44},
                    Kind{kFormatANP2, true, 44}}) {
    gen::PackageShape shape;
    shape.format = kind.format;
    shape.floatFrames = kind.floatFrames;
    shape.anpkAnimSize = kind.animSize;
    shape.emptyTracks = true;
    const AnimPackage made = gen::MakePackage(shape);
    const std::vector<uint8_t> bytes = Write(made);
    const AnimPackage package = Read(bytes);
    const std::string what = FourCCText(kind.format) + (kind.floatFrames ? " float " : " ") +
                             std::to_string(kind.animSize);
    EXPECT_EQ(Write(package), bytes) << what;
    const BoneTrack& track = package.animations[1].bones[1];
    EXPECT_EQ(track.boneId, kind.animSize == 44 ? 2 : -1) << what;
    EXPECT_TRUE(package.animations[1].bones.back().keys.empty()) << what;
    if (kind.format == kFormatANPK || kind.floatFrames) {
      EXPECT_EQ(std::memcmp(&track.keys[1], &made.animations[1].bones[1].keys[1], sizeof(KeyFrame)), 0) << what;
    }
  }
}

// Converting never invents a bone id, and ANP3 gets the compression flag
// the game's own packages carry, unless the animation came with one.
TEST(IfpRoundTrip, ConversionKeepsMissingBoneIdsAndSetsTheCompressionFlag) {
  gen::PackageShape shape;
  shape.anpkAnimSize = 48;
  AnimPackage package = Read(Write(gen::MakePackage(shape)));
  package.format = kFormatANP3;
  AnimPackage anp3 = Read(Write(package));
  for (const BoneTrack& track : anp3.animations[0].bones) EXPECT_EQ(track.boneId, -1);
  EXPECT_EQ(anp3.animations[0].extraWord, 1);
  for (BoneTrack& track : package.animations[0].bones) track.floatFrames = true;
  EXPECT_EQ(Read(Write(package)).animations[0].extraWord, 0) << "float keys are not compressed";
  anp3.animations[1].extraWord = 7;
  EXPECT_EQ(Read(Write(anp3)).animations[1].extraWord, 7) << "a flag read from ANP3 is kept";
}

TEST(IfpWriter, CountsTheValuesAnp3WouldClamp) {
  AnimPackage package = gen::MakePackage({});
  package.format = kFormatANP3;
  EXPECT_EQ(ValuesClampedOnWrite(package).count, 0u);
  package.animations[2].bones[0].keys[1].translation[1] = 40.0f;
  package.animations[2].bones[0].keys[1].time = 600.0f;
  package.animations[3].bones[1].keys[0].rotation[0] = -9.0f;
  ClampedValues clamped = ValuesClampedOnWrite(package);
  EXPECT_EQ(clamped.count, 3u);
  EXPECT_EQ(clamped.first, (TrackPlace{2, 0}));
  package.format = kFormatANPK;
  EXPECT_EQ(ValuesClampedOnWrite(package).count, 0u) << "ANPK holds floats";
  package.format = kFormatANP2;
  for (Animation& animation : package.animations) {
    for (BoneTrack& track : animation.bones) track.floatFrames = true;
  }
  EXPECT_EQ(ValuesClampedOnWrite(package).count, 0u) << "and so do float keys";
}

}  // namespace
}  // namespace zam
