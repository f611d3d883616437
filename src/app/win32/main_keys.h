#pragma once
// Commands that come without a control window: the menus' items and the
// keys of the main window. The main window runs as a modal dialog, whose
// message loop translates no accelerators: a message filter hook of its
// thread translates its key table for it and its controls, except while an
// edit box (a rename, the package name) has the focus.

#include <windows.h>

#include "app/win32/editor_state.h"

namespace zam {

// From WM_INITDIALOG until RemoveMainKeys at WM_DESTROY; one main window per thread.
void InstallMainKeys(EditorState& editor);
void RemoveMainKeys(HWND window);

// A menu item or a key: a rename in progress ends first, so the command
// sees the name typed; ids outside the keys' own go to the CommandDispatcher.
void RunMenuCommand(EditorState& editor, int commandId);

// WM_LBUTTONDOWN and WM_RBUTTONDOWN of the main window: the preview area, a
// static control, takes the focus when clicked, for the frame keys.
void OnMainWindowClick(EditorState& editor, LPARAM position);

}  // namespace zam
