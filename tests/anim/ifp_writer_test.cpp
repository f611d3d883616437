#include "anim/ifp_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "anim/ifp_reader.h"

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

BoneTrack Track(int32_t boneId, uint32_t keyType, size_t keys) {
  BoneTrack track{};
  SetName(track.name, "a");
  track.boneId = boneId;
  track.keyType = keyType;
  track.keys.resize(keys, KeyFrame{});
  return track;
}

std::vector<uint8_t> Write(uint32_t format, const char* packageName, std::vector<BoneTrack> tracks) {
  AnimPackage package{};
  package.format = format;
  SetName(package.name, packageName);
  package.animations.resize(1, Animation{});
  SetName(package.animations[0].name, "idle");
  package.animations[0].bones = std::move(tracks);
  std::vector<uint8_t> out;
  EXPECT_EQ(WriteIfp(package, out), IfpWriteStatus::Ok);
  return out;
}

// The sizes the reader steps over without checking them.
TEST(IfpWriterAnpk, SectionSizesAndNamePadding) {
  for (const char* name : {"ped", "walk"}) {
    std::vector<uint8_t> bytes = Write(kFormatANPK, name, {Track(1, kKeyKRT0, 0), Track(2, kKeyKRTS, 2)});
    EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(U32At(bytes, 12), 8u) << name;  // INFO: count + 4 name bytes
    EXPECT_EQ(U32At(bytes, 28), 5u);          // the animation name counts its terminator
    EXPECT_EQ(U32At(bytes, 44), bytes.size() - 48);  // DGAN reaches the end of the last track
    EXPECT_EQ(U32At(bytes, 64 + 4), 60u);            // CPAN of an empty track
    EXPECT_EQ(U32At(bytes, 64 + 68 + 4), 60u + 88u);
    EXPECT_EQ(U32At(bytes, 64 + 68 + 64), 88u);  // key data size
  }
}

TEST(IfpWriterAnp3, KeyDataCountFrameTypesAndFixedPointValues) {
  std::vector<BoneTrack> tracks = {Track(1, kKeyKRT0, 3), Track(2, kKeyKRTS, 4), Track(3, kKeyKR00, 1)};
  KeyFrame& key = tracks[0].keys[0];
  key.rotation[0] = -0.5f;
  key.translation[1] = 1.25f;
  key.time = 0.5f;
  std::vector<uint8_t> bytes = Write(kFormatANP3, "ped", std::move(tracks));
  EXPECT_EQ(U32At(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(U32At(bytes, 36 + 28), 7u * 16 + 10);
  const size_t firstKey = 36 + 36 + 36;
  EXPECT_EQ(U32At(bytes, firstKey - 12), 4u);  // frame types: KRTS loses its scale
  EXPECT_EQ(U32At(bytes, firstKey + 3 * 16 + 24), 4u);
  EXPECT_EQ(U32At(bytes, firstKey + 7 * 16 + 36 + 24), 3u);
  EXPECT_EQ(I16At(bytes, firstKey), -2048);
  EXPECT_EQ(I16At(bytes, firstKey + 8), 30);
  EXPECT_EQ(I16At(bytes, firstKey + 12), 1280);
}

// A tick n read back is the float nearest to n/60, often just below it: the
// nearest tick, not the truncated one, writes n again.
TEST(IfpWriterAnp3, ValuesAreClampedAndTimesGoToTheNearestTick) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(ToFixed16(9.0f, 4096.0f), 32767);
  EXPECT_EQ(ToFixed16(-40.0f, 1024.0f), -32768);
  EXPECT_EQ(ToFixed16(nan, 4096.0f), 0);
  EXPECT_EQ(ToFixed16(-1.9f / 1024.0f, 1024.0f), -1);  // truncation toward zero
  const std::pair<float, int16_t> ticks[] = {{17.0f / 60.0f, 17}, {0.0249f, 1},  {0.0251f, 2},
                                             {-0.0251f, -2},      {600.0f, 32767}, {nan, 0},
                                             {-std::numeric_limits<float>::infinity(), -32768}};
  for (auto [seconds, tick] : ticks) EXPECT_EQ(TimeToTicks16(seconds), tick) << seconds;
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
    for (int t = 0; t < 40; ++t) tracks.push_back(Track(t, t % 2 ? 9u : FourCC("KXYZ"), 1000));
    std::vector<uint8_t> bytes = Write(format, "ped", std::move(tracks));
    AnimPackage back{};
    ASSERT_EQ(ReadIfp(bytes.data(), bytes.size(), back), IfpReadStatus::Ok) << FourCCText(format);
    std::vector<uint8_t> again;
    WriteIfp(back, again);
    EXPECT_EQ(again, bytes) << FourCCText(format);
    const BoneTrack& track = back.animations[0].bones[0];
    EXPECT_EQ(track.keyType, format == kFormatANPK ? FourCC("KXYZ") : kKeyKRT0);
    EXPECT_EQ(track.keyCount(), format == kFormatANPK ? 0 : 1000);
  }
}

// ANP3 stores no scale: its KRTS tracks with keys are the ones a write
// leaves it out of; ANPK keeps it.
TEST(IfpWriter, TracksLosingScaleAreTheKrtsTracksWithKeysOfAnAnp3Package) {
  AnimPackage package{};
  package.format = kFormatANP3;
  package.animations.resize(2, Animation{});
  package.animations[0].bones = {Track(0, kKeyKRTS, 2), Track(1, kKeyKRT0, 2), Track(2, kKeyKRTS, 0)};
  package.animations[1].bones = {Track(0, kKeyKR00, 1), Track(1, kKeyKRTS, 1)};
  EXPECT_EQ(TracksLosingScale(package), (std::vector<TrackPlace>{{0, 0}, {1, 1}}));
  package.format = kFormatANPK;
  EXPECT_TRUE(TracksLosingScale(package).empty());
}

}  // namespace
}  // namespace zam
