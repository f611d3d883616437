#pragma once
// Every command of the main window: the menus' items, the lists' and the
// tree's popups, and the keys. Each turns into calls of the editor, asking
// the user first where the command needs it, and shows what changed.

#include "app/win32/main_window.h"

namespace zam {

// Runs command `commandId`; ids that are no command are ignored.
void RunCommand(MainWindow& main, int commandId);

// Opens the package at `path` as the document, as the command line's first
// file is opened: without asking.
void OpenDocument(MainWindow& main, const std::string& path);

}  // namespace zam
