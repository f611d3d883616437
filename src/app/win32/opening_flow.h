#pragma once
// Packages opened with options: files dropped on the main window, the
// command-line files after the first, and the tree's "Open with Options".
// Each is read aside and offered in the Opening Option dialog; the editor
// takes what the user chose.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/win32/main_window.h"

namespace zam {

enum class OpeningResult { Skipped, SkipAll, Opened };

// Offers the package at `path` (for entry `entry` of archive `archive`,
// when given: its name is shown and it becomes the document). A file that
// cannot be read as a package is reported and skipped without the dialog.
OpeningResult OfferPackage(MainWindow& main, const std::string& path);
OpeningResult OfferArchiveEntry(MainWindow& main, const std::string& archive, const std::string& entry);

// Offers each path in order until the user chooses Skip All.
void OfferPackages(MainWindow& main, const std::vector<std::string>& paths);

// WM_DROPFILES: offers the dropped files in the shell's order, then
// finishes the drop.
void OnDropFiles(MainWindow& main, HDROP drop);

}  // namespace zam
