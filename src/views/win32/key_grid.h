#pragma once
// The key grid: one owner-drawn row per track of the current animation with
// a box at every key, all keys summed up in its column header, zoomed by
// dragging with the right button, and scrolled row for row with the bone list.

#include <windows.h>
#include <commctrl.h>

#include "anim/anim_package.h"

namespace zam {

// Column 1 for the animation's length at the current scale, one empty row
// per track, both lists back at the top row.
void RebuildKeyGrid(const Animation& animation);
// Removes every row (no animation shown).
void ClearKeyGrid();

// Paints row `item->itemID` (WM_DRAWITEM of the main window).
void PaintKeyGridRow(const DRAWITEMSTRUCT* item);

// The bone list gives up the height of the key grid's horizontal scroll bar,
// so both show the same number of rows.
void FitBoneListToKeyGrid();

// Brings the other list to the leader's top row.
void AlignRows(HWND leader);

// Messages of the key grid and of the bone list that move their rows run
// the alignment before the list handles them.
bool MovesRows(UINT message);

// The key grid's replacement window procedure (header drawing, refusals, zoom).
LRESULT CALLBACK KeyGridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam);

void OnKeyGridNotify(const NMHDR* header);

}  // namespace zam
