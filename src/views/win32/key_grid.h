#pragma once
// The key grid: one owner-drawn row per track of the shown animation with a
// box at every key, all keys summed up in its column header, zoomed by
// dragging with the right button, and scrolled row for row with the bone list.
// The current key is drawn highlighted and the play head as a line; clicks
// and the arrow keys come back as events for the editor to decide on.

#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "anim/anim_package.h"
#include "views/key_grid_geometry.h"

namespace zam {

// What the grid marks besides the keys, asked at every paint.
struct KeyGridMarks {
  int currentTrack = -1;  // the row of the current key, -1 for none
  int currentKey = -1;
  float playHead = 0.0f;  // seconds
};

struct KeyGridEvent {
  enum class Kind { KeyClicked, PlaceClicked, HeaderClicked, ArrowKey };
  Kind kind;
  int row = -1;        // KeyClicked, PlaceClicked
  int key = -1;        // KeyClicked
  int32_t frame = 0;   // PlaceClicked, HeaderClicked: the frame under the click
  UINT virtualKey = 0;  // ArrowKey: VK_LEFT, VK_RIGHT, VK_UP or VK_DOWN
};

// Where the grid learns what it shows and tells what the user did.
struct KeyGridSource {
  // The animation whose tracks the rows show, or nullptr: asked at every
  // paint, so it never points at an animation that is gone.
  std::function<const Animation*()> shownAnimation;
  std::function<KeyGridMarks()> marks;
  std::function<void(const KeyGridEvent&)> onEvent;
};

struct KeyGridView {
  HWND grid = nullptr;
  HWND bones = nullptr;
  float scale = kMaxKeyGridScale;  // pixels per frame; kept across files and animations
  int rowHeight = 14;              // the bone list's own row height, measured at set-up
  int topRowMark = 0;              // the first visible row both lists last agreed on
  bool aligning = false;           // one list is being brought to the other's row
  short lastMouseY = 0;
  int playHeadPixel = -1;          // where the play head line was last drawn, on the time line
  KeyGridSource source;
};

// The zero-width first column, the row height of the bone list, and the
// procedures that zoom, paint the header and keep both lists aligned. The
// view must stay where it is while the controls exist.
void SetupKeyGrid(KeyGridView& view, HWND grid, HWND bones, KeyGridSource source);

// Column 1 for the shown animation's length at the current scale, one empty
// row per track, both lists back at the top row.
void RebuildKeyGrid(KeyGridView& view);
// Removes every row (no animation shown).
void ClearKeyGrid(KeyGridView& view);
// Column 1 for the shown animation's length again, after its tracks changed.
void FitKeyGridToAnimation(KeyGridView& view);

// The play head moved: its line is drawn again where it is now.
void MovePlayHeadLine(KeyGridView& view);
// Every row and the header painted again (keys added, moved or removed, or
// another current key).
void RepaintKeyGrid(const KeyGridView& view);

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
