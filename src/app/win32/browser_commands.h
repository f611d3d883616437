#pragma once
// The browser pane as the main window connects it: the tree's set-up and
// notifications, the path box's "v" button, the drive box, the tree's popup
// commands and the Directory menu.

#include <windows.h>

#include "app/win32/main_window.h"

namespace zam {

// At start-up, after the settings and the initial directory are read.
void SetupBrowser(MainWindow& main);

void OnPathGo(MainWindow& main);
void OnDriveBox(MainWindow& main);
void OnBrowserNotify(MainWindow& main, const NMHDR* header);

// The folder the browser shows: the browsed folder, or the one holding the
// browsed archive.
std::string BrowsedFolder(const MainWindow& main);

// The tree's popups and the Directory menu's commands (not Show DFF Files);
// other ids are ignored.
void RunBrowserCommand(MainWindow& main, int commandId);

}  // namespace zam
