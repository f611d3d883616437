#include "app/win32/main_dialog.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <utility>

#include "anim/package_layouts.h"
#include "app/main_layout.h"
#include "app/win32/browser_commands.h"
#include "app/win32/commands.h"
#include "app/win32/key_panel.h"
#include "app/win32/main_keys.h"
#include "app/win32/main_window.h"
#include "app/win32/opening_flow.h"
#include "app/win32/preview_view.h"
#include "app/win32/ui_prompts.h"
#include "app/win32/view_updates.h"
#include "platform/win32/wide_text.h"
#include "resource.h"
#include "views/win32/key_grid.h"
#include "views/win32/package_views.h"

namespace zam {
namespace {

// Posted at the end of WM_INITDIALOG: the part of the start that waits until
// the window shows.
constexpr UINT kFinishStartMessage = WM_APP;

std::string ProgramFilesFolder() {
  wchar_t folder[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
  return Utf8FromWide(folder);
}

// The time controls as a start leaves them, whatever was opened.
void ResetTimeControls(HWND window) {
  SendDlgItemMessageW(window, IDC_TIME_BAR, TBM_SETRANGE, TRUE, MAKELPARAM(0, 0));
  SendDlgItemMessageW(window, IDC_TIME_BAR, TBM_SETTICFREQ, 60, 0);
  SendDlgItemMessageW(window, IDC_TIME_BAR, TBM_SETPOS, TRUE, 0);
  SetDlgItemTextW(window, IDC_CURRENT_FRAME, L"0");
  SetDlgItemTextW(window, IDC_FRAME_COUNT, L"0");
}

void OnKeyGridEvent(MainWindow& main, const KeyGridEvent& event);

void LayOut(MainWindow& main, int width, int height) {
  HWND window = main.window;
  SendMessageW(window, WM_SETREDRAW, FALSE, 0);
  for (const ControlPlacement& place : MainLayout(width, height)) {
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!place.moves) flags |= SWP_NOMOVE;
    if (!place.resizes) flags |= SWP_NOSIZE;
    SetWindowPos(GetDlgItem(window, place.id), nullptr, place.x, place.y, place.width, place.height, flags);
  }
  FitBoneListToKeyGrid(main.keyGrid);
  AlignBoneListWithKeyGrid(main.keyGrid);
  FitPreviewToArea(main);
  SendMessageW(window, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The template's size may give a client area below the smallest the layout
// allows: the window grows to it about its centre. Either way the layout
// applies from the start (the first size message came before the window's
// state existed).
void OpenAtLeastAtMinimumSize(MainWindow& main) {
  RECT outer, client;
  GetWindowRect(main.window, &outer);
  GetClientRect(main.window, &client);
  const int growX = std::max(0L, kMinClientWidth - client.right);
  const int growY = std::max(0L, kMinClientHeight - client.bottom);
  if (growX > 0 || growY > 0) {
    SetWindowPos(main.window, nullptr, outer.left - growX / 2, outer.top - growY / 2,
                 outer.right - outer.left + growX, outer.bottom - outer.top + growY, SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(main.window, &client);
  }
  LayOut(main, client.right, client.bottom);
}

void Initialize(HWND window, const StartupArgs& args) {
  auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  // The settings live beside the program, wherever it was started from.
  MainWindow& main = CreateMainWindow(window, instance, SettingsPathForExecutable(args.programPath));
  main.menu = GetMenu(window);
  main.treeMenu.reset(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_TREE_MENU)));
  InstallMainKeys(main);
  SetupPackageLists(main.Control(IDC_ANIMATION_LIST), main.Control(IDC_BONE_LIST));
  KeyGridSource grid;
  grid.shownAnimation = [&main] { return main.editor.CurrentAnimation(); };
  grid.marks = [&main] {
    const KeyRef& key = main.editor.currentKey();
    return KeyGridMarks{key.track, key.key, main.editor.playHead().currentTime};
  };
  grid.onEvent = [&main](const KeyGridEvent& event) { OnKeyGridEvent(main, event); };
  SetupKeyGrid(main.keyGrid, main.Control(IDC_KEY_GRID), main.Control(IDC_BONE_LIST), std::move(grid));
  OpenAtLeastAtMinimumSize(main);
  // Dropped files are offered like the command-line files after the first.
  DragAcceptFiles(window, TRUE);
  main.editor.ReadSettings(ProgramFilesFolder());
  for (const PackageLayout& layout : PackageLayouts()) {
    SendDlgItemMessageA(window, IDC_LAYOUT_BOX, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(layout.shownName));
  }
  SendDlgItemMessageW(window, IDC_PACKAGE_NAME, EM_LIMITTEXT, kMaxNameLength, 0);
  ShowEverything(main);
  if (args.arguments.size() > 1) OpenDocument(main, args.arguments[1]);
  if (args.arguments.size() > 2) main.offeredAtStart.assign(args.arguments.begin() + 2, args.arguments.end());
  OnKeyEditMode(main, IDC_KEY_NONE);
  ResetTimeControls(window);
  PostMessageW(window, kFinishStartMessage, 0, 0);
}

void PaintNow(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// The browser (the shell's icons, the drives, the folder) and the preview
// (loading Direct3D, which makes a context, and the first frames with the
// models, which build the shaders) take most of a start: they wait until the
// window with the package's lists is painted, the slower last. The packages
// after the first are offered then, as their dialog previews them.
void FinishStart(MainWindow& main) {
  PaintNow(main.window);
  SetupBrowser(main);
  PaintNow(main.window);
  // The device takes the preview area's size as laid out.
  InitPreview(main);
  OfferPackages(main, std::exchange(main.offeredAtStart, {}));
  // A model named in the settings that is gone is skipped without a word.
  const ModelPaths models = main.editor.rememberedModels();
  if (!models.model.empty()) ShowChanges(main, main.editor.LoadModel(ModelRole::Character, models.model, false, true));
  if (!models.weapon.empty()) ShowChanges(main, main.editor.LoadModel(ModelRole::Weapon, models.weapon, false, true));
  RenderPreview(main);
}

// Clicks on the key grid choose keys or move the play head; its arrow keys
// go from key to key.
void OnKeyGridEvent(MainWindow& main, const KeyGridEvent& event) {
  Editor& editor = main.editor;
  switch (event.kind) {
    case KeyGridEvent::Kind::KeyClicked:
      ShowChanges(main, editor.SelectKey(event.row, event.key));
      break;
    case KeyGridEvent::Kind::PlaceClicked:
      ShowChanges(main, editor.SelectKey(event.row, -1));
      ShowChanges(main, editor.SeekFrame(event.frame));
      break;
    case KeyGridEvent::Kind::HeaderClicked:
      ShowChanges(main, editor.SeekFrame(event.frame));
      break;
    case KeyGridEvent::Kind::ArrowKey:
      ShowChanges(main, editor.StepKey(event.virtualKey == VK_LEFT    ? KeyStep::Previous
                                       : event.virtualKey == VK_RIGHT ? KeyStep::Next
                                       : event.virtualKey == VK_UP    ? KeyStep::TrackAbove
                                                                      : KeyStep::TrackBelow));
      break;
  }
}

void OnPackageNameTyped(MainWindow& main) {
  char text[kMaxNameLength + 1] = {};
  GetDlgItemTextA(main.window, IDC_PACKAGE_NAME, text, sizeof text);
  ShowChanges(main, main.editor.SetPackageName(text));
}

// The layout box switches the layout the next save writes.
void OnLayoutChosen(MainWindow& main) {
  LRESULT index = SendDlgItemMessageW(main.window, IDC_LAYOUT_BOX, CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= PackageLayouts().size()) return;
  ShowChanges(main, main.editor.SetLayout(PackageLayouts()[static_cast<size_t>(index)].tag));
}

// Enter in a key value box confirms the value typed; elsewhere it does nothing.
void OnEnter(MainWindow& main) {
  HWND focus = GetFocus();
  const int id = GetDlgCtrlID(focus);
  if (GetParent(focus) != main.window || !IsKeyValueBox(id)) return;
  ShowChanges(main, CommitKeyValue(main, id));
  SendMessageW(focus, EM_SETSEL, 0, -1);
}

void OnCommand(MainWindow& main, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (id == IDOK) {  // Enter, from the dialog's keyboard handling
    OnEnter(main);
    return;
  }
  if (lParam == 0) {  // a menu command or a key carries no control window
    RunMenuCommand(main, id);
    return;
  }
  // The boxes report what the window writes into them as well.
  if (main.showingChanges) return;
  if (IsKeyValueBox(id)) {
    if (HIWORD(wParam) == EN_KILLFOCUS) ShowChanges(main, CommitKeyValue(main, id));
    return;
  }
  switch (id) {
    case IDC_PACKAGE_NAME:
      OnPackageNameTyped(main);
      break;
    case IDC_LAYOUT_BOX:
      OnLayoutChosen(main);
      break;
    case IDC_PLAY:
      ShowChanges(main, main.editor.TogglePlayback());
      break;
    case IDC_GO_START:
      ShowChanges(main, main.editor.StepFrame(FrameStep::First));
      break;
    case IDC_STEP_BACK:
      ShowChanges(main, main.editor.StepFrame(FrameStep::Back));
      break;
    case IDC_STEP_FORWARD:
      ShowChanges(main, main.editor.StepFrame(FrameStep::Forward));
      break;
    case IDC_GO_END:
      ShowChanges(main, main.editor.StepFrame(FrameStep::Last));
      break;
    case IDC_KEY_NONE:
    case IDC_KEY_TRANS:
    case IDC_KEY_ROTATE:
      OnKeyEditMode(main, id);
      break;
    case IDC_PATH_GO:
      OnPathGo(main);
      break;
    case IDC_DRIVE_BOX:
      OnDriveBox(main);
      break;
    default:  // Escape (IDCANCEL) does nothing
      break;
  }
}

void ShowListPopup(const MainWindow& main, int popup) {
  POINT cursor;
  GetCursorPos(&cursor);
  ShowRenameAvailability(main);
  TrackPopupMenu(GetSubMenu(main.menu, popup), TPM_LEFTALIGN, cursor.x, cursor.y, 0, main.window, nullptr);
}

void OnAnimationListEvent(MainWindow& main, const ListEvent& event) {
  switch (event.kind) {
    case ListEvent::Kind::ContextMenu:
      ShowListPopup(main, kAnimationPopup);
      break;
    case ListEvent::Kind::ItemChanged: {
      if (!event.selectionChanged || main.showingChanges) break;
      const int before = main.editor.currentAnimation();
      for (int row = event.row; row <= std::max(event.row, event.lastRow); ++row) {
        ShowChanges(main, main.editor.SetAnimationSelected(row, event.selected));
      }
      ShowRenameAvailability(main);
      // Without a current animation the key grid draws no keys.
      if (main.editor.currentAnimation() != before) InvalidateRect(main.keyGrid.grid, nullptr, TRUE);
      break;
    }
    case ListEvent::Kind::Renamed:
      ShowChanges(main, main.editor.RenameAnimation(event.row, event.text));
      break;
    case ListEvent::Kind::None:
      break;
  }
}

void OnBoneListEvent(MainWindow& main, const ListEvent& event) {
  switch (event.kind) {
    case ListEvent::Kind::ContextMenu:
      ShowListPopup(main, kBonePopup);
      break;
    case ListEvent::Kind::ItemChanged:
      if (event.selectionChanged && !main.showingChanges) {
        for (int row = event.row; row <= std::max(event.row, event.lastRow); ++row) {
          ShowChanges(main, main.editor.SetTrackSelected(row, event.selected));
        }
        ShowRenameAvailability(main);
      }
      AlignRows(main.keyGrid, main.Control(IDC_BONE_LIST));
      break;
    case ListEvent::Kind::Renamed:
      ShowChanges(main, main.editor.RenameTrack(event.row, event.text));
      break;
    case ListEvent::Kind::None:
      break;
  }
}

// True when the notification's answer is in DWLP_MSGRESULT.
bool OnNotify(MainWindow& main, const NMHDR* header) {
  auto answer = [&main](LRESULT result) {
    SetWindowLongPtrW(main.window, DWLP_MSGRESULT, result);
    return true;
  };
  switch (header->idFrom) {
    case IDC_BROWSER_TREE:
      if (std::optional<LRESULT> reply = OnBrowserNotify(main, header)) return answer(*reply);
      break;
    case IDC_ANIMATION_LIST:
      if (std::optional<int> row = FindAnimationRow(header, main.editor.package())) return answer(*row);
      if (!AnswerAnimationText(header, main.editor.package())) OnAnimationListEvent(main, OnPackageListNotify(header));
      break;
    case IDC_BONE_LIST:
      if (std::optional<int> row = FindTrackRow(header, main.boneRows)) return answer(*row);
      if (!AnswerBoneText(header, main.boneRows)) OnBoneListEvent(main, OnPackageListNotify(header));
      break;
    case IDC_KEY_GRID:
      if (header->code == LVN_ITEMCHANGED) AlignRows(main.keyGrid, header->hwndFrom);
      break;
    default:
      break;
  }
  return false;
}

// The dialog's paint and the preview area's own (it is owner-drawn) draw a
// frame, unless another window of the program is in front.
void OnPaint(MainWindow& main) {
  PAINTSTRUCT paint;
  BeginPaint(main.window, &paint);
  if (!OtherProgramWindowInFront(main)) RenderPreview(main);
  EndPaint(main.window, &paint);
}

// The preview area shows its last frame again while it may draw none.
void OnDrawItem(MainWindow& main, const DRAWITEMSTRUCT* item) {
  if (item->CtlID == IDC_KEY_GRID) PaintKeyGridRow(main.keyGrid, item);
  if (item->CtlID != IDC_PREVIEW) return;
  if (main.previewLent || OtherProgramWindowInFront(main)) {
    main.previewDevice.PaintKeptFrame(item->hwndItem);
  } else {
    RenderPreview(main);
  }
}

// The timer is armed anew at every tick, so a slow frame delays the next
// tick instead of letting ticks queue up.
void OnPlaybackTimer(MainWindow& main) {
  EditorChanges changes = main.editor.PlaybackTick(GetTickCount());
  if (OtherProgramWindowInFront(main)) changes.preview = false;
  ShowChanges(main, changes);
  if (main.editor.playing()) SetTimer(main.window, kPlaybackTimerId, 0, nullptr);
}

// Followed only while the bar has the focus: positions set by the window are not the user's.
void OnTimeBarScroll(MainWindow& main) {
  HWND bar = main.Control(IDC_TIME_BAR);
  if (GetFocus() != bar) return;
  ShowChanges(main, main.editor.SeekFrame(static_cast<int>(SendMessageW(bar, TBM_GETPOS, 0, 0))));
}

// A right drag over the preview turns the camera, a drag with both buttons zooms.
void OnMouseMove(MainWindow& main, WPARAM buttons, LPARAM position) {
  const short x = static_cast<short>(LOWORD(position));
  const short y = static_cast<short>(HIWORD(position));
  POINT cursor;
  GetCursorPos(&cursor);
  HWND area = main.Control(IDC_PREVIEW);
  ScreenToClient(area, &cursor);
  RECT client;
  GetClientRect(area, &client);
  if (cursor.x >= 0 && cursor.y >= 0 && cursor.x <= client.right && cursor.y <= client.bottom) {
    const auto dx = static_cast<int16_t>(x - main.lastMouse.x);
    const auto dy = static_cast<int16_t>(y - main.lastMouse.y);
    const bool left = (buttons & MK_LBUTTON) != 0, right = (buttons & MK_RBUTTON) != 0;
    if (right && !left) ShowChanges(main, main.editor.RotateCamera(dx, dy));
    if (right && left) ShowChanges(main, main.editor.ZoomCamera(dy));
  }
  main.lastMouse = {x, y};
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
void OnMeasureItem(MainWindow* main, MEASUREITEMSTRUCT* item) {
  KeyGridView fallback;
  KeyGridView& keyGrid = main ? main->keyGrid : fallback;
  if (item->CtlID == IDC_KEY_GRID) item->itemHeight = static_cast<UINT>(keyGrid.rowHeight);
  if (item->CtlID == IDC_BONE_LIST && main) keyGrid.rowHeight = static_cast<int>(item->itemHeight);
}

// Closing asks the question a discard asks when there are unsaved changes.
// The window goes at once; releasing the device may take a while.
void OnClose(MainWindow& main) {
  if (main.editor.HasUnsavedChanges() && !AgreesToLoseChanges(main.window)) return;
  ShowChanges(main, main.editor.StopPlayback());
  ShowWindow(main.window, SW_HIDE);
  ReleasePreview(main);
  EndDialog(main.window, 0);
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    Initialize(window, *reinterpret_cast<const StartupArgs*>(lParam));
    return TRUE;
  }
  MainWindow* main = MainWindowOf(window);
  switch (message) {
    case WM_MEASUREITEM:
      OnMeasureItem(main, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      break;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(window, reinterpret_cast<MINMAXINFO*>(lParam));
      break;
    case WM_DESTROY:
      RemoveMainKeys(window);
      break;
    case WM_NCDESTROY:
      // After every control is gone: their procedures use the state.
      DestroyMainWindow(window);
      break;
    default:
      if (!main) break;
      switch (message) {
        case WM_COMMAND:
          OnCommand(*main, wParam, lParam);
          break;
        case WM_NOTIFY:
          if (OnNotify(*main, reinterpret_cast<const NMHDR*>(lParam))) return TRUE;
          break;
        case WM_CONTEXTMENU:
          if (reinterpret_cast<HWND>(wParam) == main->Control(IDC_BROWSER_TREE)) {
            OnBrowserContextMenu(main->browser, lParam);
          }
          break;
        case WM_DRAWITEM:
          OnDrawItem(*main, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
          break;
        case WM_SIZE:
          LayOut(*main, LOWORD(lParam), HIWORD(lParam));
          break;
        case WM_PAINT:
          OnPaint(*main);
          break;
        case WM_TIMER:
          if (wParam == kPlaybackTimerId) OnPlaybackTimer(*main);
          break;
        case kFinishStartMessage:
          FinishStart(*main);
          break;
        case WM_HSCROLL:
          if (reinterpret_cast<HWND>(lParam) == main->Control(IDC_TIME_BAR)) OnTimeBarScroll(*main);
          break;
        case WM_MOUSEMOVE:
          OnMouseMove(*main, wParam, lParam);
          break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
          OnMainWindowClick(*main, lParam);
          break;
        case WM_CLOSE:
          OnClose(*main);
          break;
        case WM_DROPFILES:
          if (!DropOntoArchive(*main, reinterpret_cast<HDROP>(wParam))) OnDropFiles(*main, reinterpret_cast<HDROP>(wParam));
          break;
      }
  }
  return FALSE;
}

StartupArgs ProcessStartupArgs() {
  StartupArgs args;
  // The module's own path, not the first argument: started as "Program.exe"
  // from its folder, the argument has no folder part.
  std::wstring module(32768, L'\0');
  module.resize(GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size())));
  args.programPath = Utf8FromWide(module);
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; i < count && wide; ++i) args.arguments.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return args;
}

}  // namespace zam
