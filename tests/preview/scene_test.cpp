#include "preview/scene.h"

#include <gtest/gtest.h>

#include "../math/math_expect.h"
#include "math/matrix.h"
#include "test_skeleton.h"

namespace zam {
namespace {

using test::ExpectVecNear;
using test::Key;
using test::MakeSkeleton;
using test::Track;

// The grid lies in the plane below the origin; where the axes are drawn, the
// two centre lines under them are left out.
TEST(GridAndAxisRuns, LeaveOutTheCentreLinesUnderTheAxes) {
  const PreviewLines lines = MakePreviewLines();
  for (const LineVertex& v : lines.grid) EXPECT_EQ(-1.0f, v.z);
  EXPECT_EQ(0.0f, lines.grid[10].x);  // lines 5 and 16 are the centre lines
  EXPECT_EQ(0.0f, lines.grid[33].y);
  EXPECT_EQ(22, GridAndAxisRuns(true, false).runs[0].lineCount);
  EXPECT_EQ(LineSet::Axes, GridAndAxisRuns(false, true).runs[0].set);
  EXPECT_EQ(0, GridAndAxisRuns(false, false).count);
  const LineRuns both = GridAndAxisRuns(true, true);
  ASSERT_EQ(5, both.count);
  const int firsts[4] = {0, 12, 22, 34};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(firsts[i], both.runs[i].firstVertex);
    EXPECT_EQ(5, both.runs[i].lineCount);
  }
  EXPECT_EQ(LineSet::Axes, both.runs[4].set);
}

// A root (id 0) with three children (ids 1, 2, 3); child 3 has a child of
// its own (id 4), a leaf.
SkinnedModelData Hand() {
  return MakeSkeleton({{0, -1, {0, 0, 0}},
                       {1, 0, {0.1f, 0, 0}},
                       {2, 0, {0, 0.1f, 0}},
                       {3, 0, {0, 0, 0.1f}},
                       {4, 3, {0.2f, 0, 0}}});
}

TEST(BonePyramids, OnePerChildAndASpikePerLeaf) {
  std::vector<BonePyramid> pyramids(3, BonePyramid{9, {9, 9, 9}});  // refilled, not appended to
  CollectBonePyramids(Hand(), nullptr, pyramids);
  ASSERT_EQ(7u, pyramids.size());
  const int bones[7] = {0, 0, 0, 1, 2, 3, 4};
  const Vec3 tips[7] = {{0.1f, 0, 0}, {0, 0.1f, 0}, {0, 0, 0.1f}, kLeafPyramidTip,
                        kLeafPyramidTip, {0.2f, 0, 0}, kLeafPyramidTip};
  for (size_t i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(bones[i], pyramids[i].bone);
    ExpectVecNear(tips[i], pyramids[i].tip);
  }
}

// Each pyramid lands where its bone's matrix puts it, tip included, with its
// own eight lines; pyramids of bones the pose does not hold are left out.
TEST(BonePyramids, BuiltAsOneLineListInModelSpace) {
  const PreviewLines lines = MakePreviewLines();
  const std::vector<Matrix4> bones = {TranslationMatrix({1, 0, 0}), TranslationMatrix({0, 2, 0})};
  const std::vector<BonePyramid> pyramids = {{1, {0.5f, 0, 0}}, {7, {0, 0, 0}}, {0, kLeafPyramidTip}};
  std::vector<LineVertex> vertices(3);
  std::vector<uint16_t> indices;
  BuildPyramidLines(lines.pyramid, pyramids, bones, vertices, indices);
  ASSERT_EQ(vertices.size(), 2u * kPyramidVertexCount);
  ASSERT_EQ(indices.size(), 2u * kPyramidIndices.size());
  const LineVertex& tip = vertices[kPyramidTipVertex];
  ExpectVecNear({0.5f, 2, 0}, {tip.x, tip.y, tip.z});
  EXPECT_EQ(tip.color, lines.pyramid[kPyramidTipVertex].color);
  const LineVertex& corner = vertices[kPyramidVertexCount];  // the second pyramid's first base point
  ExpectVecNear({1, lines.pyramid[0].y, 0}, {corner.x, corner.y, corner.z});
  EXPECT_EQ(indices[kPyramidIndices.size()], kPyramidVertexCount + kPyramidIndices[0]);
}

TEST(PyramidTip, FollowsKeyOneOfTheLastTranslatingTrackOfTheChild) {
  const SkinnedModelData model = Hand();
  Animation animation{};
  animation.bones = {Track(4, kKeyKRT0, {Key(0, {1, 0, 0}), Key(1, {2, 0, 0}), Key(2, {3, 0, 0})}),
                     Track(4, kKeyKR00, {Key(0, {7, 7, 7}), Key(1, {7, 7, 7})}),
                     Track(4, kKeyKRTS, {Key(0, {4, 0, 0}), Key(1, {5, 0, 0})}),
                     Track(1, kKeyKRT0, {Key(0, {6, 0, 0}), Key(1, {6, 6, 0})}),
                     Track(3, kKeyKRT0, {Key(0, {1, 2, 3})})};
  ExpectVecNear({5, 0, 0}, PyramidTip(model, &animation, 4));  // the KR00 track does not count
  ExpectVecNear({6, 6, 0}, PyramidTip(model, &animation, 1));
  ExpectVecNear({1, 2, 3}, PyramidTip(model, &animation, 3));     // a single key is used
  ExpectVecNear({0, 0.1f, 0}, PyramidTip(model, &animation, 2));  // no track: the model offset
  ExpectVecNear({0.2f, 0, 0}, PyramidTip(model, nullptr, 4));
  animation.bones.push_back(Track(4, kKeyKRT0, {}));
  ExpectVecNear({0.2f, 0, 0}, PyramidTip(model, &animation, 4));
  ExpectVecNear({0, 0, 0}, PyramidTip(model, nullptr, 5));  // a child the model does not hold
  ExpectVecNear({0, 0, 0}, PyramidTip(model, nullptr, -1));
}

}  // namespace
}  // namespace zam
