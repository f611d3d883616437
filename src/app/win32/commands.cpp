#include "app/win32/commands.h"

#include <commctrl.h>

#include "anim/anim_package.h"
#include "anim/ifp_writer.h"
#include "anim/package_check.h"
#include "app/win32/browser_commands.h"
#include "app/win32/change_speed_dialog.h"
#include "app/win32/check_package_dialog.h"
#include "app/win32/preview_view.h"
#include "app/win32/remove_trans_key_dialog.h"
#include "app/win32/ui_prompts.h"
#include "app/win32/view_updates.h"
#include "platform/win32/wide_text.h"
#include "resource.h"

namespace zam {
namespace {

// The first selected row of `list` gets an edit box for its name.
void EditName(HWND list, const std::vector<int>& selected) {
  if (selected.empty()) return;
  SetFocus(list);
  SendMessageW(list, LVM_EDITLABELW, static_cast<WPARAM>(selected.front()), 0);
}

// F2: the row with the keyboard focus of the focused list.
void EditFocusedName(MainWindow& main) {
  HWND focus = GetFocus();
  const bool bones = focus == main.Control(IDC_BONE_LIST);
  if (focus != main.Control(IDC_ANIMATION_LIST) && !(bones && main.editor.CurrentAnimation())) return;
  int row = static_cast<int>(SendMessageW(focus, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (row >= 0) SendMessageW(focus, LVM_EDITLABELW, static_cast<WPARAM>(row), 0);
}

// Del: the selected rows of the focused list, or the key grid's current key.
void DeleteInFocusedList(MainWindow& main) {
  HWND focus = GetFocus();
  if (focus == main.Control(IDC_ANIMATION_LIST)) ShowChanges(main, main.editor.DeleteAnimations());
  if (focus == main.Control(IDC_BONE_LIST)) ShowChanges(main, main.editor.DeleteTracks());
  if (focus == main.Control(IDC_KEY_GRID)) ShowChanges(main, main.editor.DeleteCurrentKey());
}

void ChangeSpeed(MainWindow& main) {
  if (main.editor.selectedAnimations().empty()) return;
  if (std::optional<double> factor = RunChangeSpeedDialog(main.window)) {
    ShowChanges(main, main.editor.ChangeSpeed(*factor));
  }
}

void New(MainWindow& main) {
  if (main.editor.HasUnsavedChanges() && !AgreesToLoseChanges(main.window)) return;
  ShowChanges(main, main.editor.Discard());
}

void RemoveTransKey(MainWindow& main) {
  std::optional<std::vector<int32_t>> ticked = RunRemoveTransKeyDialog(main.window, main.editor.TranslationTally());
  if (ticked) ShowChanges(main, main.editor.RemoveTranslationKeys(*ticked));
}

void Open(MainWindow& main) {
  std::optional<std::string> path = ChooseFileToOpen(main.window, FileKind::Package, BrowsedFolder(main));
  if (!path) return;
  if (main.editor.HasUnsavedChanges() && !AgreesToLoseChanges(main.window)) return;
  OpenDocument(main, *path);
}

// A save in ANP3 or ANP2 would clamp what their compressed keys cannot
// hold: the user says first whether that is meant.
bool AgreesToClamp(MainWindow& main) {
  const AnimPackage& package = main.editor.package();
  const ClampedValues clamped = ValuesClampedOnWrite(package);
  if (clamped.count == 0) return true;
  CheckFinding place{CheckRule::BeyondLayout, clamped.first.animation, clamped.first.track, -1, {}};
  const std::wstring below = WideFromCodePage(FindingPlace(package, place));
  return ShowMessage(main.window, Message::ValuesClamped, static_cast<int>(clamped.count), below) == IDOK;
}

void SaveAs(MainWindow& main) {
  if (!AgreesToClamp(main)) return;
  if (std::optional<std::string> path = ChoosePackageToSave(main.window, BrowsedFolder(main))) {
    ShowChanges(main, main.editor.SaveAs(*path));
  }
}

// The file is asked for only when there is a character to export.
void ExportGltf(MainWindow& main) {
  if (!main.editor.CanExportGltf()) {
    ShowMessage(main.window, Message::NoCharacterToExport);
    return;
  }
  if (std::optional<std::string> path = ChooseGltfToSave(main.window, BrowsedFolder(main))) {
    ShowChanges(main, main.editor.ExportGltf(*path));
  }
}

void Save(MainWindow& main) {
  if (!main.editor.HasPlaceToSave()) {
    SaveAs(main);
    return;
  }
  if (!AgreesToClamp(main)) return;
  ShowChanges(main, main.editor.Save());
}

void LoadChosenModel(MainWindow& main, ModelRole role) {
  std::optional<std::string> path = ChooseFileToOpen(main.window, FileKind::Model, "");
  if (path) {
    ShowChanges(main, main.editor.LoadChosenModel(role, *path));
  } else {
    RenderPreview(main);
  }
}

void SelectBackground(MainWindow& main) {
  uint32_t color = main.editor.settings().preview.backgroundColor;
  // Cancel writes the colour in use again.
  ShowChanges(main, main.editor.SetBackgroundColor(ChooseColor(main.window, color).value_or(color)));
}

void ToggleShowDff(MainWindow& main) {
  ShowChanges(main, main.editor.ToggleShowDff());
  main.browser.state.showDff = main.editor.settings().showDff;
  RefreshBrowserTree(main.browser);
}

}  // namespace

void OpenDocument(MainWindow& main, const std::string& path) { ShowChanges(main, main.editor.OpenFile(path)); }

void RunCommand(MainWindow& main, int commandId) {
  Editor& editor = main.editor;
  switch (commandId) {
    case ID_IFP_NEW:
      return New(main);
    case ID_IFP_OPEN:
      return Open(main);
    case ID_IFP_SAVE:
      return Save(main);
    case ID_IFP_SAVE_AS:
      return SaveAs(main);
    case ID_IFP_CHECK:
      return RunCheckPackageDialog(main.window, main.editor.package(), main.editor.CheckFindings(),
                                   [&main](int animation, int track) {
                                     ShowChanges(main, main.editor.ShowTrack(animation, track));
                                   });
    case ID_EDIT_UNDO:
      return ShowChanges(main, editor.Undo());
    case ID_EDIT_REDO:
      return ShowChanges(main, editor.Redo());
    case ID_ANIM_COPY:
      return ShowChanges(main, editor.CopyAnimations());
    case ID_ANIM_RENAME:
      return EditName(main.Control(IDC_ANIMATION_LIST), editor.selectedAnimations());
    case ID_ANIM_DELETE:
      return ShowChanges(main, editor.DeleteAnimations());
    case ID_ANIM_REMOVE_TRANS_KEY:
      return RemoveTransKey(main);
    case ID_ANIM_CHANGE_SPEED:
      return ChangeSpeed(main);
    case ID_ANIM_EXPORT_GLTF:
      return ExportGltf(main);
    case ID_BONE_RENAME:
      if (editor.CurrentAnimation()) EditName(main.Control(IDC_BONE_LIST), editor.selectedTracks());
      return;
    case ID_BONE_DELETE:
      return ShowChanges(main, editor.DeleteTracks());
    case ID_BONE_KR00:
      return ShowChanges(main, editor.SetTrackKeyType(kKeyKR00));
    case ID_BONE_KRT0:
      return ShowChanges(main, editor.SetTrackKeyType(kKeyKRT0));
    case ID_BONE_INSERT_KEY:
      return ShowChanges(main, editor.InsertKeys());
    case ID_KEY_INSERT:
      if (GetFocus() == main.Control(IDC_KEY_GRID)) ShowChanges(main, editor.InsertKeys());
      return;
    case ID_KEY_DELETE:
      return DeleteInFocusedList(main);
    case ID_KEY_RENAME:
      return EditFocusedName(main);
    case ID_KEY_PLAY:
      return ShowChanges(main, editor.TogglePlayback());
    case ID_KEY_FIRST_FRAME:
      return ShowChanges(main, editor.StepFrame(FrameStep::First));
    case ID_KEY_LAST_FRAME:
      return ShowChanges(main, editor.StepFrame(FrameStep::Last));
    case ID_KEY_FRAME_BACK:
      return ShowChanges(main, editor.StepFrame(FrameStep::Back));
    case ID_KEY_FRAME_FORWARD:
      return ShowChanges(main, editor.StepFrame(FrameStep::Forward));
    case ID_PREVIEW_LOAD_MODEL:
      return LoadChosenModel(main, ModelRole::Character);
    case ID_PREVIEW_ARM_WEAPON:
      return LoadChosenModel(main, ModelRole::Weapon);
    case ID_PREVIEW_UNLOAD_MODEL:
      return ShowChanges(main, editor.UnloadModel(ModelRole::Character));
    case ID_PREVIEW_DISARM_WEAPON:
      return ShowChanges(main, editor.UnloadModel(ModelRole::Weapon));
    case ID_PREVIEW_SHOW_AXIS:
      return ShowChanges(main, editor.ToggleOption(PreviewOption::Axis));
    case ID_PREVIEW_SHOW_MESH:
      return ShowChanges(main, editor.ToggleOption(PreviewOption::Mesh));
    case ID_PREVIEW_SHOW_BONE:
      return ShowChanges(main, editor.ToggleOption(PreviewOption::Bone));
    case ID_PREVIEW_DISABLE_CULLING:
      return ShowChanges(main, editor.ToggleOption(PreviewOption::Culling));
    case ID_PREVIEW_SELECT_BACKGROUND:
      return SelectBackground(main);
    case ID_PREVIEW_CENTER_VIEW:
    case ID_PREVIEW_SPEC_ROOT_VIEW:
      return ShowChanges(main, editor.SetSpecView(commandId == ID_PREVIEW_SPEC_ROOT_VIEW));
    case ID_PREVIEW_RESET_CAMERA:
      return ShowChanges(main, editor.ResetCamera());
    case ID_PREVIEW_REINIT_DEVICE:
      ReinitPreview(main);
      return RenderPreview(main);
    case ID_HELP_ABOUT:
      ShowMessage(main.window, Message::About);
      return;
    case ID_DIR_SHOW_DFF:
      return ToggleShowDff(main);
    default:
      RunBrowserCommand(main, commandId);
      return;
  }
}

}  // namespace zam
