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

void ExpectVertex(const LineVertex& v, float x, float y, float z, uint32_t color) {
  EXPECT_EQ(x, v.x);
  EXPECT_EQ(y, v.y);
  EXPECT_EQ(z, v.z);
  EXPECT_EQ(color, v.color);
}

TEST(PreviewLines, GridLiesInThePlaneBelowTheOrigin) {
  const PreviewLines lines = MakePreviewLines();
  for (int i = 0; i <= 10; ++i) {
    const float c = static_cast<float>(i - 5);
    SCOPED_TRACE(i);
    ExpectVertex(lines.grid[static_cast<size_t>(2 * i)], c, -5, -1, 0xFF204020);
    ExpectVertex(lines.grid[static_cast<size_t>(2 * i + 1)], c, 5, -1, 0xFF204020);
    ExpectVertex(lines.grid[static_cast<size_t>(22 + 2 * i)], -5, c, -1, 0xFF402020);
    ExpectVertex(lines.grid[static_cast<size_t>(23 + 2 * i)], 5, c, -1, 0xFF402020);
  }
  // Lines 5 and 16 are the centre lines.
  EXPECT_EQ(0.0f, lines.grid[10].x);
  EXPECT_EQ(0.0f, lines.grid[33].y);
}

TEST(PreviewLines, AxesRunBrightTowardPlusAndDarkTowardMinus) {
  const PreviewLines lines = MakePreviewLines();
  const struct {
    float x, y, z;
    uint32_t color;
  } expected[12] = {
      {7.5f, 0, -1, 0xFFFF0000},  {0, 0, -1, 0xFFFF0000}, {0, 0, -1, 0xFF800000}, {-7.5f, 0, -1, 0xFF800000},
      {0, 7.5f, -1, 0xFF00FF00},  {0, 0, -1, 0xFF00FF00}, {0, 0, -1, 0xFF008000}, {0, -7.5f, -1, 0xFF008000},
      {0, 0, 7.5f, 0xFF0000FF},   {0, 0, -1, 0xFF0000FF}, {0, 0, -1, 0xFF000080}, {0, 0, -7.5f, 0xFF000080},
  };
  for (size_t i = 0; i < 12; ++i) {
    SCOPED_TRACE(i);
    ExpectVertex(lines.axes[i], expected[i].x, expected[i].y, expected[i].z, expected[i].color);
  }
}

TEST(PreviewLines, PyramidHasASquareBaseAcrossYZAndATip) {
  const PreviewLines lines = MakePreviewLines();
  ExpectVertex(lines.pyramid[0], 0, 0.015f, 0, 0x80008080);
  ExpectVertex(lines.pyramid[1], 0, 0, 0.015f, 0x80008080);
  ExpectVertex(lines.pyramid[2], 0, -0.015f, 0, 0x80008080);
  ExpectVertex(lines.pyramid[3], 0, 0, -0.015f, 0x80008080);
  EXPECT_EQ(0x8000FFFFu, lines.pyramid[kPyramidTipVertex].color);
  const std::array<uint16_t, 16> indices = {0, 4, 1, 4, 2, 4, 3, 4, 0, 1, 1, 2, 2, 3, 3, 0};
  EXPECT_EQ(indices, kPyramidIndices);
}

TEST(GridAndAxisRuns, DrawTheWholeGridOnlyWithoutAxes) {
  const LineRuns gridOnly = GridAndAxisRuns(true, false);
  ASSERT_EQ(1, gridOnly.count);
  EXPECT_EQ(LineSet::Grid, gridOnly.runs[0].set);
  EXPECT_EQ(0, gridOnly.runs[0].firstVertex);
  EXPECT_EQ(22, gridOnly.runs[0].lineCount);

  const LineRuns axesOnly = GridAndAxisRuns(false, true);
  ASSERT_EQ(1, axesOnly.count);
  EXPECT_EQ(LineSet::Axes, axesOnly.runs[0].set);
  EXPECT_EQ(0, axesOnly.runs[0].firstVertex);
  EXPECT_EQ(6, axesOnly.runs[0].lineCount);

  EXPECT_EQ(0, GridAndAxisRuns(false, false).count);
}

TEST(GridAndAxisRuns, LeaveOutTheCentreLinesUnderTheAxes) {
  const LineRuns both = GridAndAxisRuns(true, true);
  ASSERT_EQ(5, both.count);
  const int firsts[4] = {0, 12, 22, 34};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(LineSet::Grid, both.runs[static_cast<size_t>(i)].set);
    EXPECT_EQ(firsts[i], both.runs[static_cast<size_t>(i)].firstVertex);
    EXPECT_EQ(5, both.runs[static_cast<size_t>(i)].lineCount);
  }
  EXPECT_EQ(LineSet::Axes, both.runs[4].set);
}

TEST(PreviewOptions, StartWithEverythingShownOnBlack) {
  const PreviewOptions options;
  EXPECT_TRUE(options.showAxis);
  EXPECT_TRUE(options.showMesh);
  EXPECT_TRUE(options.showBone);
  EXPECT_FALSE(options.cullingDisabled);
  EXPECT_FALSE(options.specView);
  EXPECT_EQ(0xFF000000u, options.backgroundColor);
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
                     Track(1, kKeyKRT0, {Key(0, {6, 0, 0}), Key(1, {6, 6, 0})})};
  ExpectVecNear({5, 0, 0}, PyramidTip(model, &animation, 4));  // the KR00 track does not count
  ExpectVecNear({6, 6, 0}, PyramidTip(model, &animation, 1));
  ExpectVecNear({0, 0.1f, 0}, PyramidTip(model, &animation, 2));  // no track: the model offset
  ExpectVecNear({0.2f, 0, 0}, PyramidTip(model, nullptr, 4));
  Animation noTracks{};
  ExpectVecNear({0.2f, 0, 0}, PyramidTip(model, &noTracks, 4));
}

TEST(PyramidTip, ShortTracksUseTheirOnlyKeyOrTheModelOffset) {
  const SkinnedModelData model = Hand();
  Animation animation{};
  animation.bones = {Track(4, kKeyKRT0, {Key(0, {1, 2, 3})})};
  ExpectVecNear({1, 2, 3}, PyramidTip(model, &animation, 4));
  animation.bones.push_back(Track(4, kKeyKRT0, {}));
  ExpectVecNear({0.2f, 0, 0}, PyramidTip(model, &animation, 4));
}

TEST(PyramidTip, AChildTheModelDoesNotHoldPointsNowhere) {
  const SkinnedModelData model = Hand();
  ExpectVecNear({0, 0, 0}, PyramidTip(model, nullptr, 5));
  ExpectVecNear({0, 0, 0}, PyramidTip(model, nullptr, -1));
}

}  // namespace
}  // namespace zam
