#include "app/main_layout.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "resource.h"

namespace zam {
namespace {

const ControlPlacement& Find(const std::vector<ControlPlacement>& layout, int id) {
  for (const ControlPlacement& place : layout)
    if (place.id == id) return place;
  throw std::runtime_error("control not laid out: " + std::to_string(id));
}

TEST(MainLayout, FollowsTheClientSize) {
  auto layout = MainLayout(1000, 800);
  const ControlPlacement& preview = Find(layout, IDC_PREVIEW);
  EXPECT_FALSE(preview.moves);
  EXPECT_EQ(preview.width, 625);
  EXPECT_EQ(preview.height, 516);
  const ControlPlacement& grid = Find(layout, IDC_KEY_GRID);
  EXPECT_EQ(grid.x, 157);
  EXPECT_EQ(grid.y, 556);
  EXPECT_EQ(grid.width, 723);
  EXPECT_EQ(grid.height, 203);
  const ControlPlacement& bar = Find(layout, IDC_TIME_BAR);
  EXPECT_EQ(bar.y, 759);
  EXPECT_EQ(bar.width, 738);
  const ControlPlacement& count = Find(layout, IDC_FRAME_COUNT);
  EXPECT_TRUE(count.moves);
  EXPECT_FALSE(count.resizes);
  EXPECT_EQ(count.x, 948);
}

TEST(MainLayout, LeavesTheTopBoxesInTheirTemplatePlaces) {
  for (int id : {IDC_PATH_BOX, IDC_PATH_GO, IDC_DRIVE_BOX, IDC_PACKAGE_NAME, IDC_LAYOUT_BOX}) {
    for (const ControlPlacement& place : MainLayout(800, 600)) EXPECT_NE(place.id, id);
  }
}

}  // namespace
}  // namespace zam
