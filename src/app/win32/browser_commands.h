#pragma once
// The browser pane as the main window connects it: the tree's set-up and
// notifications, the path box's "v" button, the drive box, the tree's popup
// commands and the Directory menu.

#include <windows.h>
#include <shellapi.h>

#include <optional>

#include "app/win32/main_window.h"

namespace zam {

// At start-up, after the settings and the initial directory are read.
void SetupBrowser(MainWindow& main);

void OnPathGo(MainWindow& main);
void OnDriveBox(MainWindow& main);
// What the tree waits for, where it waits for an answer (a label edit).
std::optional<LRESULT> OnBrowserNotify(MainWindow& main, const NMHDR* header);

// Files dropped onto an archive of the tree (or one of its entries) are
// added to it, asking before one replaces an entry of its name; false, and
// nothing done, for a drop anywhere else.
bool DropOntoArchive(MainWindow& main, HDROP drop);

// The folder the browser shows: the browsed folder, or the one holding the
// browsed archive.
std::string BrowsedFolder(const MainWindow& main);

// The tree's popups (also Import File, Delete Entry, Rename Entry and
// Rebuild Archive) and the Directory menu's commands (not Show DFF Files);
// other ids are ignored.
void RunBrowserCommand(MainWindow& main, int commandId);

}  // namespace zam
