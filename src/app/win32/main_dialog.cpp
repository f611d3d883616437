#include "app/win32/main_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/main_layout.h"
#include "app/win32/command_dispatcher.h"
#include "app/win32/document_actions.h"
#include "app/win32/editor_state.h"
#include "app/win32/settings_store_win32.h"
#include "resource.h"
#include "views/win32/key_grid.h"
#include "views/win32/package_views.h"

namespace zam {
namespace {

void ApplySettingsToMenu(const Settings& settings, HMENU menu) {
  auto check = [menu](UINT id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
  check(ID_DIR_SHOW_DFF, settings.showDff);
  check(ID_PREVIEW_SHOW_AXIS, settings.showAxis);
  check(ID_PREVIEW_SHOW_MESH, settings.showMesh);
  check(ID_PREVIEW_SHOW_BONE, settings.showBone);
  check(ID_PREVIEW_DISABLE_CULLING, settings.cullingDisabled);
  CheckMenuRadioItem(menu, ID_PREVIEW_CENTER_VIEW, ID_PREVIEW_SPEC_ROOT_VIEW,
                     settings.specView ? ID_PREVIEW_SPEC_ROOT_VIEW : ID_PREVIEW_CENTER_VIEW, MF_BYCOMMAND);
}

void ResetKeyValuePanel(HWND window) {
  CheckDlgButton(window, IDC_KEY_NONE, BST_CHECKED);
  CheckDlgButton(window, IDC_KEY_ROTATE, BST_UNCHECKED);
  for (int id : {IDC_VALUE_X, IDC_VALUE_Y, IDC_VALUE_Z, IDC_VALUE_H, IDC_VALUE_P, IDC_VALUE_R}) {
    SetDlgItemTextA(window, id, "0.000");
  }
}

void ResetTimeControls(HWND window) {
  SendDlgItemMessageA(window, IDC_TIME_BAR, TBM_SETRANGE, TRUE, MAKELPARAM(0, 0));
  SendDlgItemMessageA(window, IDC_TIME_BAR, TBM_SETTICFREQ, 60, 0);
  SendDlgItemMessageA(window, IDC_TIME_BAR, TBM_SETPOS, TRUE, 0);
  SetDlgItemTextA(window, IDC_CURRENT_FRAME, "0");
  SetDlgItemTextA(window, IDC_FRAME_COUNT, "0");
}

void Initialize(HWND window, const StartupArgs& args) {
  CreateEditor(window, reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)));
  EditorState& editor = Editor();
  editor.menu = GetMenu(window);
  editor.treeMenu = LoadMenuA(editor.instance, MAKEINTRESOURCEA(IDR_TREE_MENU));
  // The preview device is created here, before anything can draw.
  std::string executable = args.arguments.empty() ? std::string() : args.arguments[0];
  editor.settingsPath = SettingsPathForExecutable(executable);
  ProfileSettingsStore store(editor.settingsPath);
  editor.settings = ReadSettings(store);
  ApplySettingsToMenu(editor.settings, editor.menu);
  // The browser tree starts here, in the initial directory.
  char programFiles[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
  editor.initialDirectory = ReadInitialDirectory(store, programFiles);
  SendDlgItemMessageA(window, IDC_LAYOUT_BOX, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("ANPK"));
  SendDlgItemMessageA(window, IDC_LAYOUT_BOX, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("ANP3"));
  SetupPackageViews();
  if (args.arguments.size() > 1) OpenDocumentFile(args.arguments[1]);
  ResetKeyValuePanel(window);
  ResetTimeControls(window);
  // The models named in the settings are loaded into the preview from here.
  editor.modelPaths = ReadModelPaths(store);
}

void OnPackageNameChanged(HWND window) {
  char text[kMaxNameLength + 1] = {};
  GetDlgItemTextA(window, IDC_PACKAGE_NAME, text, sizeof text);
  AnimPackage& package = Editor().package;
  if (NameText(package.name) == text) return;
  SetName(package.name, text);
  MarkModified();
}

// The layout box switches the layout the next save writes; that alone is
// not an unsaved change.
void OnLayoutChosen(HWND window) {
  LRESULT index = SendDlgItemMessageA(window, IDC_LAYOUT_BOX, CB_GETCURSEL, 0, 0);
  if (index == 0) Editor().package.format = kFormatANPK;
  if (index == 1) Editor().package.format = kFormatANP3;
}

void OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  int id = LOWORD(wParam);
  if (lParam == 0) {  // a menu command carries no control window
    CommandDispatcher(id);
    return;
  }
  switch (id) {
    case IDC_PACKAGE_NAME:
      OnPackageNameChanged(window);
      break;
    case IDC_LAYOUT_BOX:
      OnLayoutChosen(window);
      break;
    default:  // Enter and Escape (IDOK, IDCANCEL) do nothing
      break;
  }
}

void OnNotify(const NMHDR* header) {
  switch (header->idFrom) {
    case IDC_ANIMATION_LIST:
      OnAnimationListNotify(header);
      break;
    case IDC_BONE_LIST:
      OnBoneListNotify(header);
      break;
    case IDC_KEY_GRID:
      OnKeyGridNotify(header);
      break;
    default:
      break;
  }
}

void OnSize(HWND window, int width, int height) {
  SendMessageA(window, WM_SETREDRAW, FALSE, 0);
  for (const ControlPlacement& place : MainLayout(width, height)) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!place.moves) flags |= SWP_NOMOVE;
    if (!place.resizes) flags |= SWP_NOSIZE;
    SetWindowPos(GetDlgItem(window, place.id), nullptr, place.x, place.y, place.width, place.height, flags);
  }
  SendMessageA(window, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void OnGetMinMaxInfo(HWND window, MINMAXINFO* info) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  info->ptMinTrackSize.x = (outer.right - outer.left) - client.right + kMinClientWidth;
  info->ptMinTrackSize.y = (outer.bottom - outer.top) - client.bottom + kMinClientHeight;
}

void OnMeasureItem(MEASUREITEMSTRUCT* item) {
  // Row heights are asked for while the dialog is still being created.
  if (!HasEditor()) {
    if (item->CtlID == IDC_KEY_GRID) item->itemHeight = kDefaultKeyRowHeight;
    return;
  }
  if (item->CtlID == IDC_KEY_GRID) item->itemHeight = static_cast<UINT>(Editor().keyRowHeight);
  if (item->CtlID == IDC_BONE_LIST) Editor().keyRowHeight = static_cast<int>(item->itemHeight);
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialize(window, *reinterpret_cast<const StartupArgs*>(lParam));
      return TRUE;
    case WM_MEASUREITEM:
      OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      break;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(window, reinterpret_cast<MINMAXINFO*>(lParam));
      break;
    case WM_NCDESTROY:
      // After every control is gone: their replaced procedures use the state.
      if (HasEditor()) {
        DestroyMenu(Editor().treeMenu);
        DestroyEditor();
      }
      break;
    default:
      if (!HasEditor()) break;
      switch (message) {
        case WM_COMMAND:
          OnCommand(window, wParam, lParam);
          break;
        case WM_NOTIFY:
          OnNotify(reinterpret_cast<const NMHDR*>(lParam));
          break;
        case WM_DRAWITEM:
          if (wParam == IDC_KEY_GRID) PaintKeyGridRow(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
          break;
        case WM_SIZE:
          OnSize(window, LOWORD(lParam), HIWORD(lParam));
          break;
        case WM_CLOSE:
          // Closing never asks about unsaved changes.
          EndDialog(window, 0);
          break;
      }
  }
  return FALSE;
}

StartupArgs ProcessStartupArgs() {
  StartupArgs args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; wide && i < count; ++i) {
    char text[kMaxPathBytes] = {};
    WideCharToMultiByte(CP_ACP, 0, wide[i], -1, text, sizeof text - 1, nullptr, nullptr);
    args.arguments.emplace_back(text);
  }
  LocalFree(wide);
  return args;
}

}  // namespace zam
