// The keys of a read package live in one block per file: tracks moved out
// of the package, copied, grown or outliving it keep their keys intact, and
// the real-shaped benchmark package survives both layouts unchanged.

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "sample_packages.h"
#include "support/package_matchers.h"

namespace zam {
namespace {

using test::SamePackage;

AnimPackage ReadBack(const AnimPackage& package) {
  std::vector<uint8_t> bytes;
  EXPECT_EQ(WriteIfp(package, bytes), IfpWriteStatus::Ok);
  AnimPackage back{};
  EXPECT_EQ(ReadIfp(bytes.data(), bytes.size(), back), IfpReadStatus::Ok);
  return back;
}

TEST(KeyMemory, ReadTracksShareOneBlockAndCopiesLiveApart) {
  AnimPackage package = ReadBack(gen::MakePackage({}));
  const BoneTrack& first = package.animations[0].bones[0];
  const BoneTrack& last = package.animations.back().bones.back();
  ASSERT_NE(first.keys.get_allocator().block(), nullptr);
  EXPECT_EQ(first.keys.get_allocator().block(), last.keys.get_allocator().block());

  BoneTrack copy = first;
  EXPECT_EQ(copy.keys.get_allocator().block(), nullptr);
  copy.keys[0].time = 99.0f;
  EXPECT_NE(first.keys[0].time, 99.0f);
}

TEST(KeyMemory, TracksOutliveTheirPackage) {
  AnimPackage source = gen::MakePackage({});
  BoneTrack moved, copied;
  {
    AnimPackage package = ReadBack(source);
    moved = std::move(package.animations[1].bones[2]);
    copied = package.animations[2].bones[3];
  }
  EXPECT_EQ(moved.keyCount(), source.animations[1].bones[2].keyCount());
  EXPECT_EQ(moved.keys.back().time, source.animations[1].bones[2].keys.back().time);
  EXPECT_EQ(copied.keys.back().time, source.animations[2].bones[3].keys.back().time);
}

TEST(KeyMemory, GrowingAReadTrackKeepsItsKeys) {
  AnimPackage package = ReadBack(gen::MakePackage({}));
  BoneTrack& track = package.animations[0].bones[1];
  std::vector<KeyFrame> before(track.keys.begin(), track.keys.end());
  for (int i = 0; i < 100; ++i) track.keys.push_back(before.back());
  ASSERT_EQ(track.keys.size(), before.size() + 100);
  for (size_t k = 0; k < before.size(); ++k) EXPECT_EQ(track.keys[k].time, before[k].time);
  track.keys = before;
  EXPECT_EQ(track.keys.size(), before.size());
}

TEST(KeyMemory, RealShapedPackageRoundTripsInBothLayouts) {
  for (uint32_t format : {kFormatANPK, kFormatANP3}) {
    AnimPackage original = gen::MakePackage(gen::RealGameShape(format));
    AnimPackage back = ReadBack(original);
    // ANP3 stores fixed-point values: what was read once comes back exactly.
    if (format == kFormatANPK) {
      EXPECT_TRUE(SamePackage(original, back));
    }
    EXPECT_TRUE(SamePackage(back, ReadBack(back)));
  }
}

}  // namespace
}  // namespace zam
