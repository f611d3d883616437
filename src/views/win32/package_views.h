#pragma once
// The animation list and the bone list of the main window: their columns,
// their rows from the package, and their notifications turned into events
// for the editor, which owns the package and decides what changes.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "anim/anim_package.h"

namespace zam {

// Columns, full-row selection, fixed column widths and the bone list's
// hidden scroll bars; once at start-up.
void SetupPackageLists(HWND animations, HWND bones);

// The animation list holds no rows of its own (LVS_OWNERDATA): it asks for
// the texts of the rows it shows, so a package of hundreds of animations is
// shown at once and rows change without refilling. It keeps only the
// selection, which does not move with rows inserted or removed before it.
void ShowAnimationCount(HWND list, int count);
void RedrawAnimationRow(HWND list, int row);
// Answers the list's request for a row's text (the name, or the length in
// frames); false for any other notification.
bool AnswerAnimationText(const NMHDR* header, const AnimPackage& package);

// One row per track of `animation` (none when it is nullptr): name, bone id, key type.
void FillBoneList(HWND list, const Animation* animation);
void SetBoneRow(HWND list, int row, const BoneTrack& track);

// What a notification of either list asks of the editor.
struct ListEvent {
  enum class Kind { None, ItemChanged, Renamed, ContextMenu };
  Kind kind = Kind::None;
  int row = -1;                  // -1 in ItemChanged: every row
  int lastRow = -1;              // ItemChanged: rows `row` to `lastRow` changed alike
  bool selectionChanged = false;  // ItemChanged: the row's selected state changed...
  bool selected = false;          // ...to this
  std::string text;               // Renamed: the typed name, already cut to what a name field keeps
};

// Handles the parts that concern the list alone (the label edit box) and
// reports the rest. A rename leaves the row's text to the editor, which
// shows the name it stored.
ListEvent OnPackageListNotify(const NMHDR* header);

}  // namespace zam
