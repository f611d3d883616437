#include "anim/ifp_writer.h"

#include <gtest/gtest.h>

#include <cstring>

#include "anim/ifp_reader.h"
#include "base/byte_reader.h"

namespace zam {
namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

int16_t I16At(const std::vector<uint8_t>& bytes, size_t at) {
  int16_t v = 0;
  std::memcpy(&v, bytes.data() + at, 2);
  return v;
}

BoneTrack Track(const char* name, int32_t boneId, uint32_t keyType, size_t keys) {
  BoneTrack track{};
  SetName(track.name, name);
  track.boneId = boneId;
  track.keyType = keyType;
  track.keys.resize(keys, KeyFrame{});
  return track;
}

AnimPackage OneAnimation(uint32_t format, const char* packageName, const char* animationName,
                         std::vector<BoneTrack> tracks) {
  AnimPackage package{};
  package.format = format;
  SetName(package.name, packageName);
  package.animations.resize(1, Animation{});
  SetName(package.animations[0].name, animationName);
  package.animations[0].bones = std::move(tracks);
  return package;
}

std::vector<uint8_t> Write(const AnimPackage& package) {
  std::vector<uint8_t> out;
  EXPECT_EQ(WriteIfp(package, out), IfpWriteStatus::Ok);
  return out;
}

TEST(IfpWriterAnpk, PackageNamePaddingAndInfoSize) {
  for (const char* name : {"ped", "walk"}) {
    std::vector<uint8_t> bytes = Write(OneAnimation(kFormatANPK, name, "idle", {}));
    EXPECT_EQ(U32At(bytes, 12), 8u) << name;  // INFO size: count + 4 name bytes
    EXPECT_EQ(std::memcmp(bytes.data() + 20, name, 3), 0);
    EXPECT_EQ(U32At(bytes, 24), FourCC("NAME")) << name;
    EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
  }
}

TEST(IfpWriterAnpk, AnimationNameLengthCountsTheTerminator) {
  std::vector<uint8_t> bytes = Write(OneAnimation(kFormatANPK, "ped", "idle", {}));
  EXPECT_EQ(U32At(bytes, 28), 5u);
  EXPECT_EQ(std::memcmp(bytes.data() + 32, "idle\0", 5), 0);
  EXPECT_EQ(U32At(bytes, 40), FourCC("DGAN"));
  EXPECT_EQ(U32At(bytes, 48), FourCC("INFO"));
  EXPECT_EQ(U32At(bytes, 52), 8u);
}

TEST(IfpWriterAnpk, SectionSizesOfAnEmptyAndAFilledTrack) {
  AnimPackage package = OneAnimation(kFormatANPK, "ped", "idle",
                                     {Track("a", 1, kKeyKRT0, 0), Track("b", 2, kKeyKRTS, 2)});
  std::vector<uint8_t> bytes = Write(package);
  size_t firstCpan = 64;
  EXPECT_EQ(U32At(bytes, firstCpan), FourCC("CPAN"));
  EXPECT_EQ(U32At(bytes, firstCpan + 4), 60u);
  EXPECT_EQ(U32At(bytes, firstCpan + 12), 44u);
  EXPECT_EQ(U32At(bytes, firstCpan + 64), 0u);  // key data size
  size_t secondCpan = firstCpan + 68;
  EXPECT_EQ(U32At(bytes, secondCpan + 4), 60u + 88u);
  EXPECT_EQ(U32At(bytes, secondCpan + 64), 88u);
  EXPECT_EQ(U32At(bytes, 44), bytes.size() - 48);  // DGAN reaches the end of the last track
}

TEST(IfpWriterAnp3, KeyDataCountAndFixedPointValues) {
  AnimPackage package = OneAnimation(kFormatANP3, "ped", "walk",
                                     {Track("a", 1, kKeyKRT0, 3), Track("b", 2, kKeyKRT0, 5)});
  KeyFrame& key = package.animations[0].bones[0].keys[0];
  key.rotation[0] = -0.5f;
  key.translation[1] = 1.25f;
  key.time = 0.5f;
  std::vector<uint8_t> bytes = Write(package);
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(U32At(bytes, 32), 1u);
  EXPECT_EQ(U32At(bytes, 36 + 28), 128u);
  size_t firstKey = 36 + 36 + 36;
  EXPECT_EQ(U32At(bytes, firstKey - 12), 4u);  // frame type
  EXPECT_EQ(I16At(bytes, firstKey), -2048);
  EXPECT_EQ(I16At(bytes, firstKey + 8), 30);
  EXPECT_EQ(I16At(bytes, firstKey + 12), 1280);
}

TEST(IfpWriterAnp3, KrtsBecomesTypeFourWithoutScaleAndKr00TypeThree) {
  AnimPackage package = OneAnimation(kFormatANP3, "ped", "walk",
                                     {Track("a", 1, kKeyKRTS, 1), Track("b", 2, kKeyKR00, 1)});
  std::vector<uint8_t> bytes = Write(package);
  EXPECT_EQ(U32At(bytes, 72 + 24), 4u);
  EXPECT_EQ(U32At(bytes, 72 + 36 + 16 + 24), 3u);
  EXPECT_EQ(bytes.size(), 72u + 36 + 16 + 36 + 10);
}

TEST(IfpWriterAnp3, ValuesOutsideTheSixteenBitRangeAreClamped) {
  EXPECT_EQ(ToFixed16(9.0f, 4096.0f), 32767);
  EXPECT_EQ(ToFixed16(-9.0f, 4096.0f), -32768);
  EXPECT_EQ(ToFixed16(-40.0f, 1024.0f), -32768);
  EXPECT_EQ(ToFixed16(std::numeric_limits<float>::quiet_NaN(), 4096.0f), 0);
  EXPECT_EQ(ToFixed16(-1.9f / 1024.0f, 1024.0f), -1);  // truncation toward zero
  EXPECT_EQ(TimeToTicks16(600.0f), 32767);
  EXPECT_EQ(TimeToTicks16(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(TimeToTicks16(-std::numeric_limits<float>::infinity()), -32768);
}

TEST(IfpWriterAnp3, TimesGoToTheNearestTick) {
  EXPECT_EQ(TimeToTicks16(17.0f / 60.0f), 17);  // the float lies just below 17/60
  EXPECT_EQ(TimeToTicks16(0.0249f), 1);         // 1.494 ticks
  EXPECT_EQ(TimeToTicks16(0.0251f), 2);         // 1.506 ticks
  EXPECT_EQ(TimeToTicks16(-0.0251f), -2);
}

TEST(IfpWriter, EmptyPackageWritesOnlyItsZeroTag) {
  AnimPackage empty{};
  std::vector<uint8_t> out;
  EXPECT_EQ(WriteIfp(empty, out), IfpWriteStatus::UnknownFormat);
  EXPECT_EQ(out, std::vector<uint8_t>(4, 0));
}

// Tracks of a key type read from a damaged file: whatever the writer makes of
// them reads back without a warning and writes again byte for byte.
TEST(IfpWriter, UnknownKeyTypesWriteFilesThatReadBackAsWritten) {
  for (uint32_t format : {kFormatANPK, kFormatANP3}) {
    std::vector<BoneTrack> tracks;
    for (int t = 0; t < 40; ++t) tracks.push_back(Track("a", t, t % 2 ? 9u : FourCC("KXYZ"), 1000));
    std::vector<uint8_t> bytes = Write(OneAnimation(format, "ped", "idle", std::move(tracks)));
    AnimPackage back{};
    ASSERT_EQ(ReadIfp(bytes.data(), bytes.size(), back), IfpReadStatus::Ok) << FourCCText(format);
    EXPECT_EQ(Write(back), bytes) << FourCCText(format);
    const BoneTrack& track = back.animations[0].bones[0];
    if (format == kFormatANPK) {
      EXPECT_EQ(U32At(bytes, 64 + 4), 60u);  // CPAN: header only
      EXPECT_EQ(track.keyType, FourCC("KXYZ"));
      EXPECT_EQ(track.keyCount(), 0);
    } else {
      EXPECT_EQ(track.keyType, kKeyKRT0);
      EXPECT_EQ(track.keyCount(), 1000);
    }
  }
}

}  // namespace
}  // namespace zam
