#include "app/win32/preview_commands.h"

#include <commdlg.h>

#include "app/win32/preview_models.h"
#include "app/win32/preview_view.h"
#include "app/win32/settings_store_win32.h"
#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "platform/file.h"
#include "resource.h"

namespace zam {
namespace {

void CheckItem(const EditorState& editor, int commandId, bool checked) {
  CheckMenuItem(editor.menu, static_cast<UINT>(commandId), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// The file dialog for a DFF; the remembered path is written before the
// model loads, whatever comes of the load.
void LoadModelChosen(EditorState& editor, ModelRole role, const char* settingsKey) {
  char path[kMaxPathBytes] = {};
  OPENFILENAMEA dialog =
      FileDialogSettings(editor.window, msg::kDffFilter, path, OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
  if (Prompts().GetOpenFileNameA(&dialog)) {
    if (!File::OpenRead(path).IsOpen()) {
      ShowMessage(editor.window, msg::kFileCannotOpen, MB_OK | MB_ICONHAND);
    } else {
      ProfileSettingsStore(editor.settingsPath).WriteText(ini::kPreview, settingsKey, path);
      LoadModelPath(editor, role, path, false);
    }
  }
  RenderPreview(editor);
}

void Unload(EditorState& editor, ModelRole role, const char* settingsKey) {
  UnloadModel(editor, role);
  ProfileSettingsStore(editor.settingsPath).WriteText(ini::kPreview, settingsKey, "");
  RenderPreview(editor);
}

// The colour dialog orders its bytes 0x00BBGGRR.
uint32_t SwapRedAndBlue(uint32_t color) {
  return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}

}  // namespace

void LoadModelCommand(EditorState& editor) { LoadModelChosen(editor, ModelRole::Character, ini::kModel); }

void ArmWeaponCommand(EditorState& editor) { LoadModelChosen(editor, ModelRole::Weapon, ini::kWeapon); }

void UnloadModelCommand(EditorState& editor) { Unload(editor, ModelRole::Character, ini::kModel); }

void DisarmWeaponCommand(EditorState& editor) { Unload(editor, ModelRole::Weapon, ini::kWeapon); }

void TogglePreviewOptionCommand(EditorState& editor, int commandId) {
  PreviewOptions& options = editor.settings.preview;
  bool* option = nullptr;
  const char* key = nullptr;
  switch (commandId) {
    case ID_PREVIEW_SHOW_AXIS:
      option = &options.showAxis, key = ini::kShowAxis;
      break;
    case ID_PREVIEW_SHOW_MESH:
      option = &options.showMesh, key = ini::kShowMesh;
      break;
    case ID_PREVIEW_SHOW_BONE:
      option = &options.showBone, key = ini::kShowBone;
      break;
    case ID_PREVIEW_DISABLE_CULLING:
      option = &options.cullingDisabled, key = ini::kCulling;
      break;
    default:
      return;
  }
  *option = !(GetMenuState(editor.menu, static_cast<UINT>(commandId), MF_BYCOMMAND) & MF_CHECKED);
  CheckItem(editor, commandId, *option);
  ProfileSettingsStore store(editor.settingsPath);
  WriteFlag(store, ini::kPreview, key, *option);
  RenderPreview(editor);
}

void SelectBackgroundCommand(EditorState& editor) {
  COLORREF custom[16] = {};
  CHOOSECOLORA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = editor.window;
  dialog.rgbResult = SwapRedAndBlue(editor.settings.preview.backgroundColor & 0xFFFFFF);
  dialog.lpCustColors = custom;
  dialog.Flags = CC_RGBINIT;
  uint32_t& background = editor.settings.preview.backgroundColor;
  if (Prompts().ChooseColorA(&dialog)) background = SwapRedAndBlue(dialog.rgbResult & 0xFFFFFF);
  // Cancel writes the colour in use again.
  ProfileSettingsStore(editor.settingsPath).WriteText(ini::kPreview, ini::kBgColor, FormatBackgroundColor(background));
  RenderPreview(editor);
}

void SetSpecViewCommand(EditorState& editor, bool specView) {
  editor.settings.preview.specView = specView;
  CheckMenuRadioItem(editor.menu, ID_PREVIEW_CENTER_VIEW, ID_PREVIEW_SPEC_ROOT_VIEW,
                     specView ? ID_PREVIEW_SPEC_ROOT_VIEW : ID_PREVIEW_CENTER_VIEW, MF_BYCOMMAND);
  ProfileSettingsStore store(editor.settingsPath);
  WriteFlag(store, ini::kPreview, ini::kSpecView, specView);
  RenderPreview(editor);
}

void ResetCameraCommand(EditorState& editor) {
  ResetCamera(editor.camera);
  RenderPreview(editor);
}

void ReinitDeviceCommand(EditorState& editor) {
  ResetPreview(editor, editor.Control(IDC_PREVIEW));
  RenderPreview(editor);
}

}  // namespace zam
