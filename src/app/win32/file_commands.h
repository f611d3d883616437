#pragma once
// The IFP menu and About.

#include "app/win32/editor_state.h"

namespace zam {

void OpenCommand(EditorState& editor);
void SaveCommand(EditorState& editor);
void SaveAsCommand(EditorState& editor);
void AboutCommand(EditorState& editor);

}  // namespace zam
