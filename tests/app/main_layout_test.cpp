#include "app/main_layout.h"

#include <gtest/gtest.h>

#include "resource.h"

namespace zam {
namespace {

// The places themselves are checked on the real window (tests/win32); here,
// that every size from the smallest up keeps the controls inside the client
// area and leaves the top boxes to the dialog template.
TEST(MainLayout, KeepsEveryControlInsideTheClientArea) {
  for (auto [width, height] : {std::pair{kMinClientWidth, kMinClientHeight}, std::pair{1000, 800}, std::pair{2560, 1440}}) {
    for (const ControlPlacement& place : MainLayout(width, height)) {
      for (int id : {IDC_PATH_BOX, IDC_PATH_GO, IDC_DRIVE_BOX, IDC_PACKAGE_NAME, IDC_LAYOUT_BOX}) EXPECT_NE(place.id, id);
      if (place.resizes) { EXPECT_TRUE(place.width > 0 && place.height > 0) << place.id; }
      if (place.moves) {
        EXPECT_GE(place.x, 0) << place.id;
        EXPECT_LE(place.y + (place.resizes ? place.height : 0), height) << place.id;
        EXPECT_LE(place.x + (place.resizes ? place.width : 0), width) << place.id;
      }
    }
  }
}

}  // namespace
}  // namespace zam
