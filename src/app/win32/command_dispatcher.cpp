#include "app/win32/command_dispatcher.h"

#include "anim/anim_package.h"
#include "app/win32/edit_commands.h"
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
    case ID_ANIM_COPY:
      CopyAnimationsCommand();
      break;
    case ID_ANIM_RENAME:
      RenameAnimationCommand();
      break;
    case ID_ANIM_DELETE:
      DeleteAnimationsCommand();
      break;
    case ID_ANIM_REMOVE_TRANS_KEY:
      RemoveTransKeyCommand();
      break;
    case ID_BONE_RENAME:
      RenameBoneCommand();
      break;
    case ID_BONE_DELETE:
      DeleteBonesCommand();
      break;
    case ID_BONE_KR00:
      SetKeyTypeCommand(kKeyKR00);
      break;
    case ID_BONE_KRT0:
      SetKeyTypeCommand(kKeyKRT0);
      break;
    case ID_HELP_ABOUT:
      AboutCommand();
      break;
    default:
      break;
  }
}

}  // namespace zam
