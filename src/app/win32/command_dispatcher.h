#pragma once
// Every menu and context-menu command of the main window goes through here.

#include "app/win32/editor_state.h"

namespace zam {

void CommandDispatcher(EditorState& editor, int commandId);

}  // namespace zam
