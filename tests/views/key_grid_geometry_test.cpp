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

}  // namespace
}  // namespace zam
