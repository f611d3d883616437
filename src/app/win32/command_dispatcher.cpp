#include "app/win32/command_dispatcher.h"

#include "app/win32/file_commands.h"
#include "resource.h"

namespace zam {

void CommandDispatcher(int commandId) {
  if (commandId < ID_COMMAND_FIRST || commandId > ID_COMMAND_LAST) return;
  switch (commandId) {
    case ID_IFP_OPEN:
      OpenCommand();
      break;
    case ID_IFP_SAVE:
      SaveCommand();
      break;
    case ID_IFP_SAVE_AS:
      SaveAsCommand();
      break;
    case ID_HELP_ABOUT:
      AboutCommand();
      break;
    default:
      break;
  }
}

}  // namespace zam
