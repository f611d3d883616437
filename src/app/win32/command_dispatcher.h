#pragma once
// Every menu and context-menu command of the main window goes through here.

namespace zam {

void CommandDispatcher(int commandId);

}  // namespace zam
