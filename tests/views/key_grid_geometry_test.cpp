#include "views/key_grid_geometry.h"

#include <gtest/gtest.h>

namespace zam {
namespace {

TEST(KeyGridGeometry, ColumnsKeysAndZoom) {
  EXPECT_EQ(KeyGridColumnWidth(2.0f, 24.0f), 2909);
  EXPECT_EQ(KeyGridColumnWidth(0.0f, 24.0f), 29);
  EXPECT_EQ(KeyPixel(0.5f, 2.5f), 75);
  EXPECT_EQ(KeyPixel(1e30f, 24.0f), 2147483520);  // saturates
  EXPECT_EQ(ZoomedKeyGridScale(20.0f, 10), 24.0f);
  EXPECT_EQ(ZoomedKeyGridScale(20.0f, -100), 2.0f);
  EXPECT_EQ(ZoomedKeyGridScale(10.0f, 3), 11.5f);
  EXPECT_EQ(ScrollKeepingLeftFrame(240, 24.0f, 12.0f), 120);
  EXPECT_EQ(TrackColor(64) >> 24, 0u);
  EXPECT_EQ(TrackColor(-1) >> 24, 0u);
}

// Boxes at frames 0, 10 and 11 at 6 pixels a frame cover -1..5, 59..65 and 65..71.
TEST(KeyGridGeometry, ClicksFindTheKeyUnderTheirBoxOrTheFrame) {
  BoneTrack track{};
  for (int frame : {0, 10, 11}) {
    KeyFrame key{};
    key.time = static_cast<float>(frame) / 60.0f;
    track.keys.push_back(key);
  }
  const struct {
    int x, key, frame;
  } cases[] = {{0, 0, 0}, {5, 0, 0}, {6, -1, 1}, {58, -1, 9}, {59, 1, 9}, {64, 1, 10}, {65, 2, 10}, {71, 2, 11},
               {72, -1, 12}, {-3, -1, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(KeyAtPixel(track, c.x, 6.0f), c.key) << c.x;
    EXPECT_EQ(FrameAtPixel(c.x, 6.0f), c.frame) << c.x;
  }
}

}  // namespace
}  // namespace zam
