#include "views/current_animation.h"

#include <gtest/gtest.h>

namespace zam {
namespace {

TEST(CurrentAfterSelectionChange, FollowsTheAnimationListRule) {
  struct Case {
    int current, row;
    bool selected;
    int expected;
  };
  const Case cases[] = {
      {-1, 2, true, 2},    // a row selected while none is current becomes current
      {1, 2, true, 1},     // adding a row to the selection keeps the current one
      {1, 1, false, -1},   // the current row losing its selection leaves none
      {1, 2, false, 1},    // another row losing it changes nothing
      {1, -1, false, -1},  // every row deselected at once
      {-1, -1, true, -1},  // every row selected: no single row to make current
      {-1, 7, true, -1},   // a row the package does not hold
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CurrentAfterSelectionChange(c.current, c.row, c.selected, 4), c.expected)
        << c.current << " " << c.row << " " << c.selected;
  }
}

}  // namespace
}  // namespace zam
