#include "app/win32/main_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/main_layout.h"
#include "app/win32/directory_commands.h"
#include "app/win32/document_actions.h"
#include "app/win32/editor_state.h"
#include "app/win32/editor_views.h"
#include "app/win32/main_keys.h"
#include "app/win32/opening_flow.h"
#include "app/win32/playback_controls.h"
#include "app/win32/preview_models.h"
#include "app/win32/preview_view.h"
#include "app/win32/settings_store_win32.h"
#include "app/win32/undo_commands.h"
#include "resource.h"
#include "views/win32/key_grid.h"
#include "views/win32/package_views.h"

namespace zam {
namespace {

void ApplySettingsToMenu(const Settings& settings, HMENU menu) {
  auto check = [menu](UINT id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
  const PreviewOptions& preview = settings.preview;
  check(ID_DIR_SHOW_DFF, settings.showDff);
  check(ID_PREVIEW_SHOW_AXIS, preview.showAxis);
  check(ID_PREVIEW_SHOW_MESH, preview.showMesh);
  check(ID_PREVIEW_SHOW_BONE, preview.showBone);
  check(ID_PREVIEW_DISABLE_CULLING, preview.cullingDisabled);
  CheckMenuRadioItem(menu, ID_PREVIEW_CENTER_VIEW, ID_PREVIEW_SPEC_ROOT_VIEW,
                     preview.specView ? ID_PREVIEW_SPEC_ROOT_VIEW : ID_PREVIEW_CENTER_VIEW, MF_BYCOMMAND);
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
  EditorState& editor = CreateEditor(window, reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)));
  editor.menu = GetMenu(window);
  editor.treeMenu.reset(LoadMenuA(editor.instance, MAKEINTRESOURCEA(IDR_TREE_MENU)));
  InstallMainKeys(editor);
  InitPreview(editor);
  // Dropped files are offered like the command-line files after the first.
  DragAcceptFiles(window, TRUE);
  // The settings live beside the program, wherever it was started from.
  editor.settingsPath = SettingsPathForExecutable(args.programPath);
  ProfileSettingsStore store(editor.settingsPath);
  editor.settings = ReadSettings(store);
  ApplySettingsToMenu(editor.settings, editor.menu);
  char programFiles[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
  editor.initialDirectory = ReadInitialDirectory(store, programFiles);
  SetupBrowser(editor);
  SendDlgItemMessageA(window, IDC_LAYOUT_BOX, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("ANPK"));
  SendDlgItemMessageA(window, IDC_LAYOUT_BOX, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("ANP3"));
  SetupPackageLists(editor.Control(IDC_ANIMATION_LIST), editor.Control(IDC_BONE_LIST));
  SetupKeyGrid(editor.keyGrid, editor.Control(IDC_KEY_GRID), editor.Control(IDC_BONE_LIST),
               [&editor] { return editor.CurrentAnimation(); });
  if (args.arguments.size() > 1) OpenDocumentFile(editor, args.arguments[1]);
  if (args.arguments.size() > 2) {
    RunOpeningOptions(editor, std::vector<std::string>(args.arguments.begin() + 2, args.arguments.end()));
  }
  ResetPreview(editor, editor.Control(IDC_PREVIEW));
  ResetKeyValuePanel(window);
  ResetTimeControls(window);
  // A model named in the settings that is gone is skipped without a word.
  editor.modelPaths = ReadModelPaths(store);
  // A model from an archive is named by the archive's path, "\" and its entry.
  if (!editor.modelPaths.model.empty()) LoadModelPath(editor, ModelRole::Character, editor.modelPaths.model, true);
  if (!editor.modelPaths.weapon.empty()) LoadModelPath(editor, ModelRole::Weapon, editor.modelPaths.weapon, true);
  RenderPreview(editor);
}

void OnPackageNameChanged(EditorState& editor) {
  char text[kMaxNameLength + 1] = {};
  GetDlgItemTextA(editor.window, IDC_PACKAGE_NAME, text, sizeof text);
  PackageHeader before = HeaderOf(editor.package);
  if (!Rename(editor.package.name, text)) return;
  DocumentEdit edit(editor, StepKind::Typing);
  edit.history().HeaderChanged(before);
}

// The layout box switches the layout the next save writes; that alone is
// not an unsaved change.
void OnLayoutChosen(EditorState& editor) {
  LRESULT index = SendDlgItemMessageA(editor.window, IDC_LAYOUT_BOX, CB_GETCURSEL, 0, 0);
  uint32_t format = index == 0 ? kFormatANPK : index == 1 ? kFormatANP3 : editor.package.format;
  if (format == editor.package.format) return;
  DocumentEdit edit(editor, StepKind::Layout);
  edit.history().HeaderChanged(HeaderOf(editor.package));
  editor.package.format = format;
}

void OnCommand(EditorState& editor, WPARAM wParam, LPARAM lParam) {
  int id = LOWORD(wParam);
  if (lParam == 0) {  // a menu command or a key carries no control window
    RunMenuCommand(editor, id);
    return;
  }
  switch (id) {
    case IDC_PACKAGE_NAME:
      OnPackageNameChanged(editor);
      break;
    case IDC_LAYOUT_BOX:
      OnLayoutChosen(editor);
      break;
    case IDC_PLAY:
      TogglePlayback(editor);
      break;
    case IDC_GO_START:
    case IDC_STEP_BACK:
    case IDC_STEP_FORWARD:
    case IDC_GO_END:
      OnFrameButton(editor, id);
      break;
    case IDC_PATH_GO:
      OnPathGoCommand(editor);
      break;
    case IDC_DRIVE_BOX:
      OnDriveBoxCommand(editor);
      break;
    default:  // Enter and Escape (IDOK, IDCANCEL) do nothing
      break;
  }
}

void OnNotify(EditorState& editor, const NMHDR* header) {
  switch (header->idFrom) {
    case IDC_BROWSER_TREE:
      OnBrowserNotify(editor, header);
      break;
    case IDC_ANIMATION_LIST:
      OnAnimationListEvent(editor, OnPackageListNotify(header));
      break;
    case IDC_BONE_LIST:
      OnBoneListEvent(editor, OnPackageListNotify(header));
      break;
    case IDC_KEY_GRID:
      if (header->code == LVN_ITEMCHANGED) AlignRows(editor.keyGrid, header->hwndFrom);
      break;
    default:
      break;
  }
}

void OnSize(EditorState& editor, int width, int height) {
  HWND window = editor.window;
  SendMessageA(window, WM_SETREDRAW, FALSE, 0);
  for (const ControlPlacement& place : MainLayout(width, height)) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!place.moves) flags |= SWP_NOMOVE;
    if (!place.resizes) flags |= SWP_NOSIZE;
    SetWindowPos(GetDlgItem(window, place.id), nullptr, place.x, place.y, place.width, place.height, flags);
  }
  ResetPreview(editor, editor.Control(IDC_PREVIEW));
  SendMessageA(window, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The dialog's paint and the preview area's own (it is owner-drawn) draw a
// frame, unless another window of the program is in front.
void OnPaint(EditorState& editor) {
  PAINTSTRUCT paint;
  BeginPaint(editor.window, &paint);
  if (!OtherProgramWindowInFront(editor)) RenderPreview(editor);
  EndPaint(editor.window, &paint);
}

void OnDrawItem(EditorState& editor, const DRAWITEMSTRUCT* item) {
  if (item->CtlID == IDC_KEY_GRID) PaintKeyGridRow(editor.keyGrid, item);
  if (item->CtlID == IDC_PREVIEW && !OtherProgramWindowInFront(editor)) RenderPreview(editor);
}

void OnGetMinMaxInfo(HWND window, MINMAXINFO* info) {
  RECT outer, client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  info->ptMinTrackSize.x = (outer.right - outer.left) - client.right + kMinClientWidth;
  info->ptMinTrackSize.y = (outer.bottom - outer.top) - client.bottom + kMinClientHeight;
}

// The key grid's rows are as high as the bone list's, so both show the same
// rows side by side. The grid asks while the dialog is still being created,
// and again when its set-up has measured the bone list.
void OnMeasureItem(EditorState* editor, MEASUREITEMSTRUCT* item) {
  KeyGridView fallback;
  KeyGridView& keyGrid = editor ? editor->keyGrid : fallback;
  if (item->CtlID == IDC_KEY_GRID) item->itemHeight = static_cast<UINT>(keyGrid.rowHeight);
  if (item->CtlID == IDC_BONE_LIST && editor) keyGrid.rowHeight = static_cast<int>(item->itemHeight);
}

// Closing asks the question a discard asks when there are unsaved changes.
void OnClose(EditorState& editor) {
  if (!MayLoseChanges(editor)) return;
  StopPlayback(editor);
  ReleasePreview(editor);
  EndDialog(editor.window, 0);
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    Initialize(window, *reinterpret_cast<const StartupArgs*>(lParam));
    return TRUE;
  }
  EditorState* editor = EditorOf(window);
  switch (message) {
    case WM_MEASUREITEM:
      OnMeasureItem(editor, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      break;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(window, reinterpret_cast<MINMAXINFO*>(lParam));
      break;
    case WM_DESTROY:
      RemoveMainKeys(window);
      break;
    case WM_NCDESTROY:
      // After every control is gone: their procedures use the state.
      DestroyEditor(window);
      break;
    default:
      if (!editor) break;
      switch (message) {
        case WM_COMMAND:
          OnCommand(*editor, wParam, lParam);
          break;
        case WM_NOTIFY:
          OnNotify(*editor, reinterpret_cast<const NMHDR*>(lParam));
          break;
        case WM_DRAWITEM:
          OnDrawItem(*editor, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
          break;
        case WM_SIZE:
          OnSize(*editor, LOWORD(lParam), HIWORD(lParam));
          break;
        case WM_PAINT:
          OnPaint(*editor);
          break;
        case WM_TIMER:
          OnPlaybackTimer(*editor);
          break;
        case WM_HSCROLL:
          if (reinterpret_cast<HWND>(lParam) == editor->Control(IDC_TIME_BAR)) OnTimeBarScroll(*editor);
          break;
        case WM_MOUSEMOVE:
          OnPreviewMouseMove(*editor, wParam, lParam);
          break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
          OnMainWindowClick(*editor, lParam);
          break;
        case WM_CLOSE:
          OnClose(*editor);
          break;
        case WM_DROPFILES:
          OnDropFiles(*editor, reinterpret_cast<HDROP>(wParam));
          break;
      }
  }
  return FALSE;
}

StartupArgs ProcessStartupArgs() {
  auto narrow = [](const wchar_t* wide) {
    char text[kMaxPathBytes] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
    return std::string(text);
  };
  StartupArgs args;
  // The module's own path, not the first argument: started as "Program.exe"
  // from its folder, the argument has no folder part.
  std::wstring module(32768, L'\0');
  DWORD length = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
  module.resize(length);
  args.programPath = narrow(module.c_str());
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; wide && i < count; ++i) args.arguments.push_back(narrow(wide[i]));
  LocalFree(wide);
  return args;
}

}  // namespace zam
