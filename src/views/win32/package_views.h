#pragma once
// The animation list and the bone list of the main window: their columns,
// their rows from the package, and their notifications turned into events
// for the editor, which owns the package and decides what changes.

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "anim/anim_package.h"

namespace zam {

// Columns, full-row selection, fixed column widths and the bone list's
// hidden scroll bars; once at start-up.
void SetupPackageLists(HWND animations, HWND bones);

// Both lists hold no rows of their own (LVS_OWNERDATA): they ask for the
// texts of the rows they show, so a package of hundreds of animations is
// shown at once and rows change without a refill. A list keeps only its
// selection, which does not move with rows inserted or removed before it.
void ShowRowCount(HWND list, int count);
void RedrawRow(HWND list, int row);
// Answer a list's request for a row's text (an animation's name and length
// in frames; a track's cells as listed); false for any other notification.
bool AnswerAnimationText(const NMHDR* header, const AnimPackage& package);

// A track's row of the bone list: its name, bone id and key type.
struct TrackRow {
  std::string cells[3];
};
TrackRow RowOfTrack(const BoneTrack& track);
std::vector<TrackRow> RowsOfTracks(const Animation* animation);
bool AnswerBoneText(const NMHDR* header, const std::vector<TrackRow>& rows);
// The row whose name starts with what the user typed, for the list's request
// (-1: none); nothing for any other notification.
std::optional<int> FindAnimationRow(const NMHDR* header, const AnimPackage& package);
std::optional<int> FindTrackRow(const NMHDR* header, const std::vector<TrackRow>& rows);

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
