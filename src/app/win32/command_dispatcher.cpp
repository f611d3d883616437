#include "app/win32/command_dispatcher.h"

#include "anim/anim_package.h"
#include "app/win32/directory_commands.h"
#include "app/win32/edit_commands.h"
#include "app/win32/file_commands.h"
#include "app/win32/preview_commands.h"
#include "resource.h"

namespace zam {

void CommandDispatcher(EditorState& editor, int commandId) {
  if (commandId < ID_COMMAND_FIRST || commandId > ID_COMMAND_LAST) return;
  switch (commandId) {
    case ID_IFP_OPEN:
      OpenCommand(editor);
      break;
    case ID_IFP_SAVE:
      SaveCommand(editor);
      break;
    case ID_IFP_SAVE_AS:
      SaveAsCommand(editor);
      break;
    case ID_ANIM_COPY:
      CopyAnimationsCommand(editor);
      break;
    case ID_ANIM_RENAME:
      RenameAnimationCommand(editor);
      break;
    case ID_ANIM_DELETE:
      DeleteAnimationsCommand(editor);
      break;
    case ID_ANIM_REMOVE_TRANS_KEY:
      RemoveTransKeyCommand(editor);
      break;
    case ID_BONE_RENAME:
      RenameBoneCommand(editor);
      break;
    case ID_BONE_DELETE:
      DeleteBonesCommand(editor);
      break;
    case ID_BONE_KR00:
      SetKeyTypeCommand(editor, kKeyKR00);
      break;
    case ID_BONE_KRT0:
      SetKeyTypeCommand(editor, kKeyKRT0);
      break;
    case ID_PREVIEW_LOAD_MODEL:
      LoadModelCommand(editor);
      break;
    case ID_PREVIEW_UNLOAD_MODEL:
      UnloadModelCommand(editor);
      break;
    case ID_PREVIEW_ARM_WEAPON:
      ArmWeaponCommand(editor);
      break;
    case ID_PREVIEW_DISARM_WEAPON:
      DisarmWeaponCommand(editor);
      break;
    case ID_PREVIEW_SHOW_AXIS:
    case ID_PREVIEW_SHOW_MESH:
    case ID_PREVIEW_SHOW_BONE:
    case ID_PREVIEW_DISABLE_CULLING:
      TogglePreviewOptionCommand(editor, commandId);
      break;
    case ID_PREVIEW_SELECT_BACKGROUND:
      SelectBackgroundCommand(editor);
      break;
    case ID_PREVIEW_CENTER_VIEW:
    case ID_PREVIEW_SPEC_ROOT_VIEW:
      SetSpecViewCommand(editor, commandId == ID_PREVIEW_SPEC_ROOT_VIEW);
      break;
    case ID_PREVIEW_RESET_CAMERA:
      ResetCameraCommand(editor);
      break;
    case ID_PREVIEW_REINIT_DEVICE:
      ReinitDeviceCommand(editor);
      break;
    case ID_HELP_ABOUT:
      AboutCommand(editor);
      break;
    case ID_TREE_OPEN:
      TreeOpenCommand(editor);
      break;
    case ID_TREE_OPEN_WITH_OPTIONS:
      TreeOpenWithOptionsCommand(editor);
      break;
    case ID_TREE_OPEN_SKINNED:
      TreeOpenModelCommand(editor, ModelRole::Character);
      break;
    case ID_TREE_OPEN_WEAPON:
      TreeOpenModelCommand(editor, ModelRole::Weapon);
      break;
    case ID_DIR_OPEN_CURRENT:
      OpenCurrentDirectoryCommand(editor);
      break;
    case ID_DIR_OPEN_INITIAL:
      OpenInitialDirectoryCommand(editor);
      break;
    case ID_DIR_SET_INITIAL:
      SetInitialDirectoryCommand(editor);
      break;
    case ID_DIR_SHOW_DFF:
      ShowDffFilesCommand(editor);
      break;
    default:
      break;
  }
}

}  // namespace zam
