#pragma once
// Which animation the bone list, key grid and preview show, as the animation
// list's selection changes.

namespace zam {

// The current animation after row `row` (-1: every row) became selected or
// unselected, in a list of `animationCount` animations. The current row
// losing its selection leaves none current; a row gaining it becomes current
// only while none is. Adding rows to the selection never moves it.
int CurrentAfterSelectionChange(int current, int row, bool selected, int animationCount);

}  // namespace zam
