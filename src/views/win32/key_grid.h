#pragma once
// The key grid: one owner-drawn row per track of the shown animation with a
// box at every key, all keys summed up in its column header, zoomed by
// dragging with the right button, and scrolled row for row with the bone list.

#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "anim/anim_package.h"
#include "views/key_grid_geometry.h"

namespace zam {

struct KeyGridView {
  HWND grid = nullptr;
  HWND bones = nullptr;
  float scale = kMaxKeyGridScale;  // pixels per frame; kept across files and animations
  int rowHeight = 14;              // the bone list's own row height, measured at set-up
  int topRowMark = 0;              // the first visible row both lists last agreed on
  bool aligning = false;           // one list is being brought to the other's row
  short lastMouseY = 0;
  // The animation whose tracks the rows show, or nullptr: asked at every
  // paint, so it never points at an animation that is gone.
  std::function<const Animation*()> shownAnimation;
};

// The zero-width first column, the row height of the bone list, and the
// procedures that zoom, paint the header and keep both lists aligned. The
// view must stay where it is while the controls exist.
void SetupKeyGrid(KeyGridView& view, HWND grid, HWND bones, std::function<const Animation*()> shownAnimation);

// Column 1 for the shown animation's length at the current scale, one empty
// row per track, both lists back at the top row.
void RebuildKeyGrid(KeyGridView& view);
// Removes every row (no animation shown).
void ClearKeyGrid(KeyGridView& view);
// Column 1 for the shown animation's length again, after its tracks changed.
void FitKeyGridToAnimation(KeyGridView& view);

// Paints row `item->itemID` (WM_DRAWITEM of the owner window).
void PaintKeyGridRow(const KeyGridView& view, const DRAWITEMSTRUCT* item);

// The bone list gives up the height of the key grid's horizontal scroll bar,
// so both show the same rows.
void FitBoneListToKeyGrid(const KeyGridView& view);

// Brings the other list to the leader's top row.
void AlignRows(KeyGridView& view, HWND leader);
// Brings the bone list to the key grid's top row, whatever both last agreed
// on: after rows were added or removed, or the lists were resized.
void AlignBoneListWithKeyGrid(KeyGridView& view);

}  // namespace zam
