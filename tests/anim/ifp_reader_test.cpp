#include "anim/ifp_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "support/raw_bytes.h"

namespace zam {
namespace {

using test::RawBytes;

IfpReadStatus Read(const RawBytes& file, AnimPackage& package) {
  return ReadIfp(file.bytes().data(), file.size(), package);
}

// ANPK package header with an INFO section of `infoSize` and the name padded
// to (infoSize - 1) rounded down to 4 bytes.
void AnpkHeader(RawBytes& b, uint32_t infoSize, const std::string& name, int32_t animations) {
  b.Tag("ANPK").U32(0xDEADBEEF).Tag("INFO").U32(infoSize).I32(animations);
  b.Text(name, (infoSize - 1) & ~3u);
}

void AnpkAnimationStart(RawBytes& b, const std::string& name, int32_t nameLength, int32_t tracks,
                        int32_t extraWord = 0) {
  b.Tag("NAME").I32(nameLength).Text(name, (nameLength + 3) & ~3);
  b.Tag("DGAN").U32(0).Tag("INFO").U32(8).I32(tracks).I32(extraWord);
}

// An ANPK track of KR00 keys given as (stored x, y, z, w, time) tuples.
void AnpkKr00Track(RawBytes& b, const std::string& name, int32_t boneId, const std::vector<std::array<float, 5>>& keys,
                   uint32_t animSize = 44) {
  size_t cpan = (b.Tag("CPAN"), b.ReserveSize());
  b.Tag("ANIM").U32(animSize).Text(name, 28).I32(static_cast<int32_t>(keys.size())).I32(11).I32(22).I32(boneId);
  b.Fill(animSize - 44, 0xAB);
  b.Tag("KR00").U32(static_cast<uint32_t>(keys.size() * 20));
  for (const auto& key : keys)
    for (float v : key) b.F32(v);
  b.PatchSize(cpan);
}

TEST(IfpReaderAnpk, NameFieldsAreRoundedToFourBytes) {
  // The package name takes the INFO size less one, rounded down; animation names their length rounded up.
  for (auto [infoSize, nameBytes, nameLength] : {std::tuple{12u, 8u, 5}, std::tuple{13u, 12u, 8}}) {
    RawBytes file;
    file.Tag("ANPK").U32(0).Tag("INFO").U32(infoSize).I32(2).Text("abcdefg", nameBytes);
    AnpkAnimationStart(file, "walk", nameLength, 0);
    AnpkAnimationStart(file, "run", 4, 0);
    AnimPackage package{};
    ASSERT_EQ(Read(file, package), IfpReadStatus::Ok) << nameLength;
    EXPECT_EQ(NameText(package.name), "abcdefg");
    EXPECT_EQ(package.format, kFormatANPK);
    ASSERT_EQ(package.animationCount(), 2);
    EXPECT_EQ(NameText(package.animations[0].name), "walk");
    EXPECT_EQ(NameText(package.animations[1].name), "run");
  }
}

// KR00 stores the conjugate rotation; KRT0 and KRTS add their fields in order.
TEST(IfpReaderAnpk, ReadsEveryKeyTypeAndAllTrackFields) {
  RawBytes file;
  AnpkHeader(file, 8, "ped", 1);
  AnpkAnimationStart(file, "idle", 5, 3, -77);
  AnpkKr00Track(file, "Pelvis", 2, {{0.5f, 0.25f, 0.125f, 0.75f, 0.5f}});
  file.Tag("CPAN").U32(60 + 32).Tag("ANIM").U32(44).Text("a", 28).I32(1).I32(0).I32(0).I32(1).Tag("KRT0").U32(32);
  for (float v : {0.0f, 0.0f, 0.0f, 1.0f, 1.0f, 2.0f, 3.0f, 0.25f}) file.F32(v);
  file.Tag("CPAN").U32(60 + 44).Tag("ANIM").U32(44).Text("b", 28).I32(1).I32(0).I32(0).I32(2).Tag("KRTS").U32(44);
  for (float v : {0.0f, 0.0f, 0.0f, 1.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 0.75f}) file.F32(v);
  AnimPackage package{};
  ASSERT_EQ(Read(file, package), IfpReadStatus::Ok);
  const Animation& animation = package.animations[0];
  EXPECT_EQ(animation.extraWord, -77);
  const BoneTrack& track = animation.bones[0];
  EXPECT_EQ(NameText(track.name), "Pelvis");
  EXPECT_EQ(std::vector<int32_t>({track.boneId, track.anpkWord1, track.anpkWord2}), std::vector<int32_t>({2, 11, 22}));
  const std::vector<std::vector<float>> expected = {{-0.5f, -0.25f, -0.125f, 0.75f, 0, 0, 0, 1, 1, 1, 0.5f},
                                                    {0, 0, 0, 1, 1, 2, 3, 1, 1, 1, 0.25f},
                                                    {0, 0, 0, 1, 4, 5, 6, 7, 8, 9, 0.75f}};
  const uint32_t types[] = {kKeyKR00, kKeyKRT0, kKeyKRTS};
  for (size_t t = 0; t < 3; ++t) {
    ASSERT_EQ(animation.bones[t].keyCount(), 1);
    EXPECT_EQ(animation.bones[t].keyType, types[t]);
    const KeyFrame& k = animation.bones[t].keys[0];
    std::vector<float> got(k.rotation, k.rotation + 4);
    got.insert(got.end(), k.translation, k.translation + 3);
    got.insert(got.end(), k.scale, k.scale + 3);
    got.push_back(k.time);
    if (t < 2) std::fill(got.begin() + 7, got.begin() + 10, 1.0f);  // no scale stored
    EXPECT_EQ(got, expected[t]) << "track " << t;
  }
}

// Irregularities of packages found in the wild that must read exactly.
// Forty-eight-byte ANIM sections, unknown key tags (no keys read, the tag
// kept), sector padding, leftovers and a wrong outer size.
TEST(IfpReaderAnpk, ReadsIrregularSectionsAndIgnoresTrailingData) {
  RawBytes file;
  AnpkHeader(file, 8, "ped", 1);
  AnpkAnimationStart(file, "idle", 5, 3);
  AnpkKr00Track(file, "a", 1, {{0, 0, 0, 1, 0.5f}}, 48);
  file.Tag("CPAN").U32(60 + 8).Tag("ANIM").U32(44).Text("u", 28).I32(2).I32(0).I32(0).I32(3);
  file.Tag("KXYZ").U32(8).Fill(8, 0x55);
  AnpkKr00Track(file, "b", 2, {{0, 0, 0, 1, 1.5f}}, 44);
  file.Tag("NAME").I32(5).Text("left", 8);  // leftovers of an undeclared animation
  file.Fill(2048 - file.size() % 2048, 0);
  AnimPackage package{};
  ASSERT_EQ(Read(file, package), IfpReadStatus::Ok);
  ASSERT_EQ(package.animationCount(), 1);
  const Animation& animation = package.animations[0];
  EXPECT_EQ(animation.bones[0].keys[0].time, 0.5f);
  EXPECT_EQ(animation.bones[1].keyType, FourCC("KXYZ"));
  EXPECT_EQ(animation.bones[1].keyCount(), 2);
  EXPECT_EQ(animation.bones[1].keys[1].rotation[0], 0.0f);
  EXPECT_EQ(animation.bones[2].boneId, 2);
  EXPECT_EQ(animation.bones[2].keys[0].time, 1.5f);
}

TEST(IfpReaderAnpk, MovesToTheEndOfSectionsLargerThanTheirFields) {
  RawBytes file;
  AnpkHeader(file, 8, "ped", 2);
  // First animation: INFO of 12 bytes, a CPAN with 8 trailing bytes, a DGAN
  // with 4; junk after the names' terminators is kept but not shown.
  file.Tag("NAME").I32(5).Raw("idle\0\xCC\xCC\xCC", 8).Tag("DGAN");
  size_t dgan = file.ReserveSize();
  file.Tag("INFO").U32(12).I32(1).I32(0).U32(0x11111111);
  size_t cpan = (file.Tag("CPAN"), file.ReserveSize());
  file.Tag("ANIM").U32(44).Text("Spine", 6).Fill(22, 0xFF).I32(1).I32(0).I32(0).I32(7).Tag("KR00").U32(20);
  for (float v : {0.0f, 0.0f, 0.0f, 1.0f, 0.5f}) file.F32(v);
  file.Fill(8, 0xEE);
  file.PatchSize(cpan);
  file.Fill(4, 0xDD);
  file.PatchSize(dgan);
  AnpkAnimationStart(file, "walk", 5, 0);
  AnimPackage package{};
  ASSERT_EQ(Read(file, package), IfpReadStatus::Ok);
  ASSERT_EQ(package.animationCount(), 2);
  EXPECT_EQ(package.animations[0].bones[0].boneId, 7);
  EXPECT_EQ(NameText(package.animations[0].name), "idle");
  EXPECT_EQ(NameText(package.animations[0].bones[0].name), "Spine");
  EXPECT_EQ(static_cast<uint8_t>(package.animations[0].bones[0].name[27]), 0xFF);
  EXPECT_EQ(NameText(package.animations[1].name), "walk");
}

// ANIM sections of 40 bytes (no bone id) and 48 (two sibling links where the
// bone id would be, and one more), and a track without keys that ends with
// its ANIM section: none of these tracks has a bone id, nothing is truncated.
TEST(IfpReaderAnpk, AnimSectionsWithoutABoneIdAndTracksWithoutAKeySection) {
  RawBytes file;
  AnpkHeader(file, 8, "ped", 1);
  AnpkAnimationStart(file, "idle", 5, 4);
  size_t cpan = (file.Tag("CPAN"), file.ReserveSize());
  file.Tag("ANIM").U32(40).Text("Pelvis", 28).I32(1).I32(11).I32(22).Tag("KR00").U32(20);
  for (float v : {0.0f, 0.0f, 0.0f, 1.0f, 0.0f}) file.F32(v);
  file.PatchSize(cpan);
  AnpkKr00Track(file, "Spine", 4, {{0, 0, 0, 1, 0}}, 48);
  file.Tag("CPAN").U32(52).Tag("ANIM").U32(44).Text("Head", 28).I32(0).I32(0).I32(0).I32(5);
  AnpkKr00Track(file, "Neck", 6, {{0, 0, 0, 1, 0.25f}});
  AnimPackage package{};
  ASSERT_EQ(Read(file, package), IfpReadStatus::Ok);
  const std::vector<BoneTrack>& bones = package.animations[0].bones;
  ASSERT_EQ(bones.size(), 4u);
  EXPECT_EQ(std::vector<int32_t>({bones[0].boneId, bones[0].anpkAnimSize, bones[0].anpkWord1, bones[0].anpkWord2}),
            std::vector<int32_t>({-1, 40, 11, 22}));
  EXPECT_EQ(bones[0].keyCount(), 1);
  EXPECT_EQ(std::vector<int32_t>({bones[1].boneId, bones[1].anpkAnimSize, bones[1].anpkLinks[0]}),
            std::vector<int32_t>({-1, 48, 4})) << "the link where a 44-byte section holds the bone id";
  EXPECT_EQ(bones[2].keyCount(), 0);
  EXPECT_EQ(bones[2].boneId, 5);
  EXPECT_TRUE(bones[2].anpkWithoutKeySection);
  EXPECT_EQ(bones[3].boneId, 6);
  EXPECT_EQ(bones[3].keys[0].time, 0.25f) << "the track after it is read in step";
}

void Anp3Header(RawBytes& b, const std::string& name, int32_t animations) {
  b.Tag("ANP3").U32(0x12345678).Text(name, 24).I32(animations);
}

// Every frame type: 16-bit rotations of 1/4096, translations of 1/1024, times
// of 1/60 s; types 1 and 2 hold floats, the time in seconds. An unknown type
// keeps its number and zero keys that take no bytes; 24-character names fit.
TEST(IfpReaderAnp3, DecodesEveryFrameType) {
  RawBytes file;
  Anp3Header(file, "ped", 1);
  file.Text("walk", 24).I32(5).I32(999 /* wrong on purpose */).I32(5);
  file.Text("abcdefghijklmnopqrstuvwx", 24).I32(5).I32(3).I32(7);
  file.Text("Root", 24).I32(4).I32(1).I32(0);
  file.I16(0).I16(2048).I16(0).I16(4096).I16(30).I16(-512).I16(1024).I16(0);
  file.Text("Spine", 24).I32(3).I32(1).I32(3);
  file.I16(-4096).I16(0).I16(0).I16(0).I16(60);
  file.Text("a", 24).I32(1).I32(1).I32(0).F32(0.1f).F32(0).F32(0).F32(-0.995f).F32(1.0f / 3);
  file.Text("b", 24).I32(2).I32(1).I32(1).F32(0).F32(0).F32(0).F32(1).F32(600).F32(40.25f).F32(-2).F32(1e-3f);
  AnimPackage package{};
  ASSERT_EQ(Read(file, package), IfpReadStatus::Ok);
  EXPECT_EQ(package.format, kFormatANP3);
  EXPECT_EQ(NameText(package.name), "ped");
  const Animation& animation = package.animations[0];
  EXPECT_EQ(animation.keyDataSize, 999);
  EXPECT_EQ(animation.extraWord, 5);
  const BoneTrack& odd = animation.bones[0];
  EXPECT_EQ(NameText(odd.name), "abcdefghijklmnopqrstuvwx");
  EXPECT_EQ(odd.keyType, 5u);
  ASSERT_EQ(odd.keyCount(), 3);
  EXPECT_EQ(odd.keys[2].time, 0.0f);
  const std::vector<std::vector<float>> expected = {{0, 0.5f, 0, 1, -0.5f, 1, 0, 0.5f},
                                                    {-1, 0, 0, 0, 0, 0, 0, 1},
                                                    {0.1f, 0, 0, -0.995f, 0, 0, 0, 1.0f / 3},
                                                    {0, 0, 0, 1, 40.25f, -2, 1e-3f, 600}};
  const uint32_t types[] = {kKeyKRT0, kKeyKR00, kKeyKR00, kKeyKRT0};
  for (size_t t = 0; t < 4; ++t) {
    const BoneTrack& track = animation.bones[t + 1];
    const KeyFrame& key = track.keys[0];
    EXPECT_EQ(track.keyType, types[t]) << t;
    EXPECT_EQ(track.anpkWord1, 0);
    EXPECT_EQ(track.floatFrames, t >= 2) << t;
    std::vector<float> got = {key.rotation[0], key.rotation[1], key.rotation[2], key.rotation[3],
                              key.translation[0], key.translation[1], key.translation[2], key.time};
    EXPECT_EQ(got, expected[t]) << "track " << t;
  }
  EXPECT_EQ(animation.bones[2].boneId, 3);
}

// ANP2: ANP3 without the key-data size and the flags word of each animation.
TEST(IfpReaderAnp2, ReadsAnimationsWithoutTheirTwoWords) {
  RawBytes file;
  file.Tag("ANP2").U32(0).Text("ped", 24).I32(2);
  file.Text("walk", 24).I32(1).Text("Root", 24).I32(4).I32(1).I32(0);
  file.I16(0).I16(0).I16(0).I16(4096).I16(30).I16(1024).I16(0).I16(-512);
  file.Text("run", 24).I32(1).Text("Spine", 24).I32(1).I32(1).I32(3);
  file.F32(0).F32(0.6f).F32(0).F32(0.8f).F32(0.125f);
  AnimPackage package{};
  ASSERT_EQ(Read(file, package), IfpReadStatus::Ok);
  EXPECT_EQ(package.format, kFormatANP2);
  ASSERT_EQ(package.animationCount(), 2);
  const KeyFrame& root = package.animations[0].bones[0].keys[0];
  EXPECT_EQ(std::vector<float>({root.rotation[3], root.time, root.translation[0], root.translation[2]}),
            std::vector<float>({1.0f, 0.5f, 1.0f, -0.5f}));
  const BoneTrack& spine = package.animations[1].bones[0];
  EXPECT_TRUE(spine.floatFrames);
  EXPECT_EQ(spine.boneId, 3);
  EXPECT_EQ(spine.keys[0].rotation[1], 0.6f);
  EXPECT_EQ(spine.keys[0].time, 0.125f);
}

TEST(IfpReader, UnknownTagLeavesThePackageAsItWas) {
  AnimPackage package{};
  package.format = kFormatANP3;
  SetName(package.name, "kept");
  for (const RawBytes& file : {RawBytes().Tag("RIFF").U32(0), RawBytes().Tag("anpk").U32(0), RawBytes().U8('A')}) {
    EXPECT_EQ(Read(file, package), IfpReadStatus::UnknownFormat);
    EXPECT_EQ(NameText(package.name), "kept");
  }
  EXPECT_EQ(ReadIfp(nullptr, 0, package), IfpReadStatus::UnknownFormat);
  RawBytes empty;
  Anp3Header(empty, "empty", 0);
  EXPECT_EQ(Read(empty, package), IfpReadStatus::Ok);
  EXPECT_EQ(package.animationCount(), 0);
}

}  // namespace
}  // namespace zam
