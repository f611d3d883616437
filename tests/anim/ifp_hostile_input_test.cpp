// Damaged and hostile packages: the reader must stay inside its input, keep
// allocations in proportion to it, and say when the file ended early or
// declares what no package holds.

#include <gtest/gtest.h>

#include <cstring>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "sample_packages.h"
#include "support/package_matchers.h"
#include "support/raw_bytes.h"

namespace zam {
namespace {

using test::RawBytes;

// A package holding only animation `index` of `package`.
AnimPackage OnlyAnimation(const AnimPackage& package, int index) {
  AnimPackage one{};
  one.format = package.format;
  one.animations.push_back(package.animations[static_cast<size_t>(index)]);
  return one;
}

size_t KeysHeld(const AnimPackage& package) {
  size_t keys = 0;
  for (const Animation& a : package.animations)
    for (const BoneTrack& t : a.bones) keys += t.keys.size();
  return keys;
}

// Every cut reads what is there and says so; it keeps only what it holds:
// every animation but the last read is whole, the last is the original's
// beginning, and nothing blank is invented.
TEST(IfpHostileInput, EveryTruncationKeepsOnlyWhatWasReadAndSaysSo) {
  for (uint32_t format : {kFormatANPK, kFormatANP3}) {
    gen::PackageShape shape;
    shape.format = format;
    shape.animations = 3;
    shape.tracksPerAnimation = 3;
    shape.maxKeys = 3;
    std::vector<uint8_t> full;
    WriteIfp(gen::MakePackage(shape), full);
    AnimPackage whole{};
    ASSERT_EQ(ReadIfp(full.data(), full.size(), whole), IfpReadStatus::Ok);
    for (size_t length = 0; length < full.size(); ++length) {
      SCOPED_TRACE(testing::Message() << FourCCText(format) << " cut at " << length);
      // A copy of exactly `length` bytes, so the sanitizer sees any overread.
      std::vector<uint8_t> bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
      AnimPackage cut{};
      IfpReadStatus status = ReadIfp(bytes.data(), bytes.size(), cut);
      if (length < 4) {
        EXPECT_EQ(status, IfpReadStatus::UnknownFormat);
        continue;
      }
      ASSERT_EQ(status, IfpReadStatus::Truncated);
      EXPECT_EQ(cut.format, format);
      ASSERT_LE(cut.animationCount(), whole.animationCount());
      ASSERT_GE(cut.animationCount(), length >= 40 ? 1 : 0) << "a begun animation is kept";
      if (cut.animationCount() == 0) continue;
      int last = cut.animationCount() - 1;
      for (int a = 0; a < last; ++a) EXPECT_TRUE(test::SamePackage(OnlyAnimation(whole, a), OnlyAnimation(cut, a)));
      const Animation& partial = cut.animations[last];
      const Animation& original = whole.animations[last];
      EXPECT_EQ(NameText(partial.name), NameText(original.name).substr(0, NameText(partial.name).size()));
      ASSERT_LE(partial.boneCount(), original.boneCount());
      for (int t = 0; t + 1 < partial.boneCount(); ++t) {
        EXPECT_EQ(partial.bones[t].keyCount(), original.bones[t].keyCount());
        EXPECT_EQ(partial.bones[t].keyType, original.bones[t].keyType);
      }
      if (partial.boneCount() > 0) {
        EXPECT_LE(partial.bones.back().keyCount(), original.bones[partial.boneCount() - 1].keyCount());
      }
    }
  }
}

// "package|animation:tracks:keys held|...": what a hostile file left.
std::string Summary(const AnimPackage& package) {
  std::string text = NameText(package.name);
  for (const Animation& a : package.animations) {
    size_t keys = 0;
    for (const BoneTrack& t : a.bones) keys += t.keys.capacity();
    text += "|" + NameText(a.name) + ":" + std::to_string(a.bones.size()) + ":" + std::to_string(keys);
  }
  return text;
}

struct Hostile {
  const char* what;
  RawBytes file;
  IfpReadStatus status;
  std::string summary;
};

void ExpectRead(const std::vector<Hostile>& cases) {
  for (const Hostile& c : cases) {
    AnimPackage package{};
    EXPECT_EQ(ReadIfp(c.file.bytes().data(), c.file.size(), package), c.status) << c.what;
    EXPECT_EQ(Summary(package), c.summary) << c.what;
  }
}

// Huge or negative counts allocate no more than the bytes could hold; names
// without terminators are cut inside their fields.
TEST(IfpHostileInput, Anp3CountsAndNames) {
  RawBytes unknownTypes;  // tracks of an unknown frame type claiming keys that occupy no bytes
  unknownTypes.Tag("ANP3").U32(0).Text("x", 24).I32(1).Text("a", 24).I32(1000).I32(0).I32(0);
  for (int t = 0; t < 1000; ++t) unknownTypes.Text("t", 24).I32(9).I32(INT32_MAX).I32(t);
  ExpectRead({
      {"huge counts",
       RawBytes().Tag("ANP3").U32(0).Text("x", 24).I32(INT32_MAX).Text("a", 24).I32(INT32_MAX).I32(0).I32(0)
           .Text("t", 24).I32(4).I32(INT32_MAX).I32(0).Fill(64, 1),
       IfpReadStatus::Truncated, "x|a:1:4"},
      {"negative counts", RawBytes().Tag("ANP3").U32(0).Text("x", 24).I32(1).Text("a", 24).I32(-5).I32(-1).I32(0),
       IfpReadStatus::Damaged, "x|a:0:0"},
      {"unterminated names", RawBytes().Tag("ANP3").U32(0).Fill(24, 'p').I32(1).Fill(24, 'a').I32(0).I32(0).I32(0),
       IfpReadStatus::Ok, std::string(23, 'p') + "|" + std::string(23, 'a') + ":0:0"},
  });
  AnimPackage package{};
  EXPECT_EQ(ReadIfp(unknownTypes.bytes().data(), unknownTypes.size(), package), IfpReadStatus::Truncated);
  EXPECT_EQ(package.animations[0].boneCount(), 1000);
  EXPECT_LE(KeysHeld(package), unknownTypes.size()) << "the zero-filled keys share one budget";
}

TEST(IfpHostileInput, AnpkCountsAndNames) {
  RawBytes names;
  names.Tag("ANPK").U32(0).Tag("INFO").U32(8).I32(1).Text("x", 4).Tag("NAME").I32(40).Fill(40, 'n');
  names.Tag("DGAN").U32(0).Tag("INFO").U32(8).I32(1).I32(0);
  names.Tag("CPAN").U32(60).Tag("ANIM").U32(44).Fill(28, 'b').I32(0).I32(0).I32(0).I32(4).Tag("KR00").U32(0);
  ExpectRead({
      {"huge counts",
       RawBytes().Tag("ANPK").U32(0).Tag("INFO").U32(8).I32(INT32_MAX).Text("x", 4).Tag("NAME").I32(INT32_MAX)
           .Fill(16, 'n'),
       IfpReadStatus::Truncated, "x|" + std::string(16, 'n') + ":0:0"},
      {"negative counts", RawBytes().Tag("ANPK").U32(0).Tag("INFO").U32(0x80000000u).I32(-3), IfpReadStatus::Damaged,
       ""},
      {"unterminated names", names, IfpReadStatus::Ok, "x|" + std::string(23, 'n') + ":1:0"},
  });
  AnimPackage package{};
  ASSERT_EQ(ReadIfp(names.bytes().data(), names.size(), package), IfpReadStatus::Ok);
  EXPECT_EQ(NameText(package.animations[0].bones[0].name), std::string(27, 'b'));
  EXPECT_EQ(package.animations[0].bones[0].boneId, 4);
}

// A negative count of animations, tracks or keys is no empty list: the file
// is damaged, and nothing after the count is read as records, so a package
// that lost its count never reads as an empty one.
TEST(IfpHostileInput, NegativeCountsMarkTheFileDamagedAndEndTheRead) {
  for (uint32_t format : {kFormatANPK, kFormatANP3}) {
    std::vector<uint8_t> bytes;
    gen::PackageShape shape;
    shape.format = format;
    WriteIfp(gen::MakePackage(shape), bytes);
    const int32_t negative = -7;
    std::memcpy(bytes.data() + (format == kFormatANPK ? 16 : 32), &negative, 4);  // the animation count
    AnimPackage package{};
    EXPECT_EQ(ReadIfp(bytes.data(), bytes.size(), package), IfpReadStatus::Damaged) << FourCCText(format);
    EXPECT_EQ(package.animationCount(), 0) << FourCCText(format);
  }

  // An ANP3 track declaring `declared` keys of `frameType`, then `stored` 10-byte keys.
  auto anp3Track = [](RawBytes& b, int32_t frameType, int32_t declared, int stored) -> RawBytes& {
    b.Text("t", 24).I32(frameType).I32(declared).I32(0);
    for (int k = 0; k < stored; ++k) b.I16(0).I16(0).I16(0).I16(4096).I16(static_cast<int16_t>(k));
    return b;
  };
  auto anp3Start = [](int32_t animations, int32_t tracks) {
    return RawBytes().Tag("ANP3").U32(0).Text("x", 24).I32(animations).Text("a", 24).I32(tracks).I32(0).I32(0);
  };
  RawBytes tracks = anp3Start(2, -1);
  tracks.Text("b", 24).I32(1).I32(0).I32(0);
  anp3Track(tracks, 3, 2, 2);
  RawBytes keys = anp3Start(1, 2);
  anp3Track(anp3Track(keys, 3, -2, 0), 3, 2, 2);
  RawBytes phantomKeys = anp3Start(1, 2);
  anp3Track(anp3Track(phantomKeys, 9, -2, 0), 3, 2, 2);
  RawBytes anpk;
  anpk.Tag("ANPK").U32(0).Tag("INFO").U32(8).I32(1).Text("x", 4).Tag("NAME").I32(4).Text("a", 4);
  anpk.Tag("DGAN").U32(0).Tag("INFO").U32(8).I32(2).I32(0);
  for (int32_t count : {-3, 0}) {
    anpk.Tag("CPAN").U32(60).Tag("ANIM").U32(44).Text("t", 28).I32(count).I32(0).I32(0).I32(0).Tag("KR00").U32(0);
  }
  ExpectRead({
      {"negative track count", tracks, IfpReadStatus::Damaged, "x|a:0:0"},
      {"negative key count", keys, IfpReadStatus::Damaged, "x|a:1:0"},
      {"negative key count of an unknown frame type", phantomKeys, IfpReadStatus::Damaged, "x|a:1:0"},
      {"negative ANPK key count", anpk, IfpReadStatus::Damaged, "x|a:1:0"},
  });
}

}  // namespace
}  // namespace zam
