#include "views/key_grid_geometry.h"

#include <gtest/gtest.h>

#include <array>

namespace zam {
namespace {

TEST(KeyGridGeometry, ColumnWidthAtBothEndsOfTheScale) {
  EXPECT_EQ(KeyGridColumnWidth(2.0f, 24.0f), 2909);
  EXPECT_EQ(KeyGridColumnWidth(2.0f, 2.0f), 247);
  EXPECT_EQ(KeyGridColumnWidth(0.0f, 24.0f), 29);
}

TEST(KeyGridGeometry, KeyPixelTruncates) {
  EXPECT_EQ(KeyPixel(0.5f, 24.0f), 720);
  EXPECT_EQ(KeyPixel(0.5f, 2.5f), 75);
  EXPECT_EQ(KeyPixel(1e30f, 24.0f), 2147483520);
}

TEST(KeyGridGeometry, TrackColorsFromTheBoneId) {
  auto rgb = [](uint32_t c) { return std::array<uint32_t, 3>{c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF}; };
  EXPECT_EQ(rgb(TrackColor(0)), (std::array<uint32_t, 3>{205, 167, 89}));
  EXPECT_EQ(rgb(TrackColor(1)), (std::array<uint32_t, 3>{141, 183, 93}));
  EXPECT_EQ(rgb(TrackColor(2)), (std::array<uint32_t, 3>{77, 135, 81}));
  EXPECT_EQ(rgb(TrackColor(22)), (std::array<uint32_t, 3>{77, 199, 1}));
  EXPECT_EQ(TrackColor(64) >> 24, 0u);
  EXPECT_EQ(TrackColor(-1) >> 24, 0u);
}

TEST(KeyGridGeometry, ZoomIsClampedAndKeepsTheLeftFrame) {
  EXPECT_EQ(ZoomedKeyGridScale(20.0f, 10), 24.0f);
  EXPECT_EQ(ZoomedKeyGridScale(20.0f, -100), 2.0f);
  EXPECT_EQ(ZoomedKeyGridScale(10.0f, 3), 11.5f);
  EXPECT_EQ(ScrollKeepingLeftFrame(240, 24.0f, 12.0f), 120);
}

}  // namespace
}  // namespace zam
