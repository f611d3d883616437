#pragma once
// The keys of the main window. It runs as a modal dialog, whose message loop
// translates no accelerators: a message filter hook of its thread translates
// its key table for it and its controls, except while an edit box (a rename,
// the package name) has the focus; keys that move within a list or the tree
// are theirs while it has the focus.

#include <windows.h>

#include "app/win32/main_window.h"

namespace zam {

// From WM_INITDIALOG until RemoveMainKeys at WM_DESTROY; one main window per thread.
void InstallMainKeys(MainWindow& main);
void RemoveMainKeys(HWND window);

// A menu item or a key: a rename in progress ends first, so the command
// sees the name typed.
void RunMenuCommand(MainWindow& main, int commandId);

// WM_LBUTTONDOWN and WM_RBUTTONDOWN of the main window: the preview area, a
// static control, takes the focus when clicked, for the frame keys.
void OnMainWindowClick(MainWindow& main, LPARAM position);

}  // namespace zam
