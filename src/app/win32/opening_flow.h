#pragma once
// Packages opened with options: files dropped on the main window and the
// command-line files after the first. Each goes through the Opening Option
// dialog, which opens it as the document or merges its animations into the
// document.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/win32/editor_state.h"

namespace zam {

// Offers the package at `path`: 0 when it was skipped or its animations
// were merged, 1 when the user chose Skip All, 2 when the file became the
// document. A file that cannot be opened or is in neither layout is
// reported and skipped without the dialog (0). For entry `entry` of
// `archive`, taken out into the file at `path`, the entry's name is shown
// and the entry becomes the document.
int RunOpeningOption(EditorState& editor, const std::string& path, const std::string& archive = {},
                     const std::string& entry = {});

// Offers each path in order until the user chooses Skip All.
void RunOpeningOptions(EditorState& editor, const std::vector<std::string>& paths);

// WM_DROPFILES: offers the dropped files in the shell's order, then
// finishes the drop.
void OnDropFiles(EditorState& editor, HDROP drop);

}  // namespace zam
