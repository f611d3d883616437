#pragma once
// The main window's lists as the editor keeps them in line with its package:
// the refreshes every change calls, and what the lists' notifications change.

#include "app/win32/editor_state.h"
#include "views/win32/package_views.h"

namespace zam {

// The lists' context menus: popups of the main menu.
inline constexpr int kAnimationPopup = 2;  // "&Animation"
inline constexpr int kBonePopup = 3;       // "&Bone"

// Everything that shows the package as a whole; stops playback.
void RefreshPackageView(EditorState& editor);
// The bone list and the key grid for the current animation, and the time
// controls back at 0. With no animation current only the bone list empties.
void RefreshBoneView(EditorState& editor);

void OnAnimationListEvent(EditorState& editor, const ListEvent& event);
void OnBoneListEvent(EditorState& editor, const ListEvent& event);

// Greys the popup's Rename item unless exactly one row of `list` is selected.
void SetRenameEnabled(const EditorState& editor, int popup, HWND list);

}  // namespace zam
