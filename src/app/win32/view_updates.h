#pragma once
// The one place the main window shows the editor's changes: a command
// returns what it changed, and only that is refreshed.

#include "app/editor.h"
#include "app/win32/main_window.h"

namespace zam {

// The lists' context menus: popups of the main menu.
inline constexpr int kAnimationPopup = 2;  // "&Animation"
inline constexpr int kBonePopup = 3;       // "&Bone"

// Shows `changes` in the controls, draws a frame when one is due and last
// shows the message the changes carry.
void ShowChanges(MainWindow& main, const EditorChanges& changes);

// Everything at start-up: the editor's package, options and time controls.
void ShowEverything(MainWindow& main);

// Greys both Rename items unless exactly one row of their list is selected.
void ShowRenameAvailability(const MainWindow& main);

}  // namespace zam
