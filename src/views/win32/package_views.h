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

// One row per animation: its name and its length in frames.
void FillAnimationList(HWND list, const AnimPackage& package);
void InsertAnimationRow(HWND list, int row, const Animation& animation);
void SetAnimationRow(HWND list, int row, const Animation& animation);

// One row per track of `animation` (none when it is nullptr): name, bone id, key type.
void FillBoneList(HWND list, const Animation* animation);
void SetBoneRow(HWND list, int row, const BoneTrack& track);

// What a notification of either list asks of the editor.
struct ListEvent {
  enum class Kind { None, ItemChanged, Renamed, ContextMenu };
  Kind kind = Kind::None;
  int row = -1;                  // -1 in ItemChanged: every row
  bool selectionChanged = false;  // ItemChanged: the row's selected state changed...
  bool selected = false;          // ...to this
  std::string text;               // Renamed: the typed name, already cut to what a name field keeps
};

// Handles the parts that concern the list alone (the label edit box) and
// reports the rest. A rename leaves the row's text to the editor, which
// shows the name it stored.
ListEvent OnPackageListNotify(const NMHDR* header);

}  // namespace zam
