// The keys of a read package live in one block per file, which the next read
// reuses once every track has let it go; the real-shaped benchmark package
// survives both layouts unchanged.

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

TEST(KeyMemory, ReadTracksShareOneBlockAndKeepTheirKeysWhereverTheyGo) {
  AnimPackage source = gen::MakePackage({});
  BoneTrack moved, grown;
  {
    AnimPackage package = ReadBack(source);
    const BoneTrack& first = package.animations[0].bones[0];
    ASSERT_NE(first.keys.get_allocator().block(), nullptr);
    EXPECT_EQ(first.keys.get_allocator().block(), package.animations.back().bones.back().keys.get_allocator().block());
    BoneTrack copy = first;
    EXPECT_EQ(copy.keys.get_allocator().block(), nullptr);
    copy.keys[0].time = 99.0f;
    EXPECT_NE(first.keys[0].time, 99.0f);
    moved = std::move(package.animations[1].bones[2]);
    BoneTrack& growing = package.animations[0].bones[1];
    grown = growing;
    for (int i = 0; i < 100; ++i) growing.keys.push_back(grown.keys.back());
    for (size_t k = 0; k < grown.keys.size(); ++k) EXPECT_EQ(growing.keys[k].time, grown.keys[k].time);
  }
  AnimPackage next = ReadBack(gen::MakePackage({}));  // must not take the block `moved` still holds
  EXPECT_NE(next.animations[0].bones[0].keys.get_allocator().block(), moved.keys.get_allocator().block());
  EXPECT_EQ(moved.keyCount(), source.animations[1].bones[2].keyCount());
  EXPECT_EQ(moved.keys.back().time, source.animations[1].bones[2].keys.back().time);
  EXPECT_EQ(grown.keys.back().time, source.animations[0].bones[1].keys.back().time);
}

TEST(KeyMemory, AReleasedPackagesBlockServesTheNextReadWithItsOwnKeys) {
  gen::PackageShape shape;
  KeyBlock* first = nullptr;
  {
    AnimPackage package = ReadBack(gen::MakePackage(shape));
    first = package.animations[0].bones[0].keys.get_allocator().block();
  }
  shape.seed = 2;
  shape.maxKeys = 6;  // a smaller package fits in the larger one's block
  AnimPackage other = gen::MakePackage(shape);
  AnimPackage back = ReadBack(other);
  EXPECT_EQ(back.animations[0].bones[0].keys.get_allocator().block(), first);
  EXPECT_TRUE(SamePackage(other, back));
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
