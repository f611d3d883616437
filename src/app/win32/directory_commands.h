#pragma once
// The browser pane as the editor connects it: the tree's set-up, its
// notifications, the path box's "v" button and the drive box, the tree's
// popup commands and the Directory menu.

#include <windows.h>

#include "app/win32/editor_state.h"
#include "app/win32/preview_models.h"

namespace zam {

// At start-up, after the settings and the initial directory are read.
void SetupBrowser(EditorState& editor);

void OnPathGoCommand(EditorState& editor);
void OnDriveBoxCommand(EditorState& editor);
void OnBrowserNotify(EditorState& editor, const NMHDR* header);

// The tree's popups: Open, Open with Options, and Open as Skinned or
// Weapon Model, for the selected item.
void TreeOpenCommand(EditorState& editor);
void TreeOpenWithOptionsCommand(EditorState& editor);
void TreeOpenModelCommand(EditorState& editor, ModelRole role);

void OpenCurrentDirectoryCommand(EditorState& editor);
void OpenInitialDirectoryCommand(EditorState& editor);
void SetInitialDirectoryCommand(EditorState& editor);
void ShowDffFilesCommand(EditorState& editor);

}  // namespace zam
