#include "app/win32/opening_option_dialog.h"

#include <commctrl.h>

#include <cstdint>

#include "anim/package_merge.h"
#include "platform/win32/list_view.h"
#include "platform/win32/wide_text.h"
#include "preview/preview_clock.h"
#include "resource.h"

namespace zam {
namespace {

constexpr UINT_PTR kPreviewTimerId = 0x4D494E41;  // the bytes "ANIM", as the main window's playback timer

struct DialogState {
  OpeningOptionContext& context;
  OpeningChoice choice;
  FocusedPreviewClock clock;
  int16_t lastMouseX = 0;  // dialog client coordinates of the previous mouse message
  int16_t lastMouseY = 0;
};

DialogState& StateOf(HWND dialog) { return *reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_OPENING_LIST); }

void Initialize(HWND dialog, const OpeningOptionContext& context) {
  SetDlgItemTextW(dialog, IDC_OPENING_FILE, WideFromUtf8(context.shownName).c_str());
  CheckDlgButton(dialog, IDC_OPENING_APPEND, BST_CHECKED);
  HWND list = List(dialog);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  list::InsertColumn(list, 0, "", 191 - GetSystemMetrics(SM_CXVSCROLL), LVCFMT_LEFT);
  std::vector<bool> checks = DefaultMergeChecks(context.document, context.incoming);
  for (size_t i = 0; i < checks.size(); ++i) {
    int row = list::AppendRow(list, NameText(context.incoming.animations[i].name));
    list::SetChecked(list, row, checks[i]);
  }
  context.resetPreview(GetDlgItem(dialog, IDC_OPENING_PREVIEW));
  SetTimer(dialog, kPreviewTimerId, 0, nullptr);
}

OpeningChoice ChoiceOnOk(HWND dialog) {
  OpeningChoice choice;
  choice.action = IsDlgButtonChecked(dialog, IDC_OPENING_OPEN) == BST_CHECKED      ? OpeningChoice::Action::Open
                  : IsDlgButtonChecked(dialog, IDC_OPENING_REPLACE) == BST_CHECKED ? OpeningChoice::Action::Replace
                  : IsDlgButtonChecked(dialog, IDC_OPENING_APPEND) == BST_CHECKED  ? OpeningChoice::Action::Append
                                                                                   : OpeningChoice::Action::Skip;
  HWND list = List(dialog);
  for (int row = 0; row < list::RowCount(list); ++row) choice.checked.push_back(list::IsChecked(list, row));
  return choice;
}

void OnCommand(HWND dialog, DialogState& state, int id) {
  switch (id) {
    case IDC_OPENING_OPEN:
      EnableWindow(List(dialog), FALSE);  // Open takes every animation; the marks stay for a change of mind
      break;
    case IDC_OPENING_APPEND:
    case IDC_OPENING_REPLACE:
      EnableWindow(List(dialog), TRUE);
      break;
    case IDOK:
      state.choice = ChoiceOnOk(dialog);
      EndDialog(dialog, 0);
      break;
    case IDCANCEL:
      EndDialog(dialog, 0);
      break;
    case IDC_SKIP_ALL:
      state.choice.action = OpeningChoice::Action::SkipAll;
      EndDialog(dialog, 0);
      break;
    default:
      break;
  }
}

// The timer is started anew at the end of every tick, so a slow frame
// delays the next tick instead of queuing ticks.
void OnPreviewTick(HWND dialog, DialogState& state) {
  OpeningOptionContext& context = state.context;
  int focused = list::FocusedRow(List(dialog));
  float elapsed = BeginFocusedPreviewTick(state.clock, GetTickCount(), focused, context.previewTime);
  // The frame of this tick shows the time before the tick moves it on.
  context.drawPreview(GetDlgItem(dialog, IDC_OPENING_PREVIEW), focused);
  EndFocusedPreviewTick(context.previewTime, elapsed, context.incoming, focused);
  SetTimer(dialog, kPreviewTimerId, 0, nullptr);
}

// The main window's mouse camera: a right drag turns it, a drag with both
// buttons zooms, only over the preview area (its edges included). The last
// position is kept from every move, so a drag entering the area measures
// from where it was last seen. The next tick's frame shows the change.
void OnMouseMove(HWND dialog, DialogState& state, WPARAM buttons, LPARAM position) {
  const auto x = static_cast<int16_t>(LOWORD(position));
  const auto y = static_cast<int16_t>(HIWORD(position));
  HWND area = GetDlgItem(dialog, IDC_OPENING_PREVIEW);
  POINT inArea{x, y};
  MapWindowPoints(dialog, area, &inArea, 1);
  RECT client;
  GetClientRect(area, &client);
  if (inArea.x >= 0 && inArea.x <= client.right && inArea.y >= 0 && inArea.y <= client.bottom) {
    const auto dx = static_cast<int16_t>(x - state.lastMouseX);
    const auto dy = static_cast<int16_t>(y - state.lastMouseY);
    const bool left = buttons & MK_LBUTTON;
    const bool right = buttons & MK_RBUTTON;
    if (right && !left) RotateCamera(state.context.camera, dx, dy);
    if (right && left) ZoomCamera(state.context.camera, dy);
  }
  state.lastMouseX = x;
  state.lastMouseY = y;
}

INT_PTR CALLBACK OpeningOptionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    Initialize(dialog, reinterpret_cast<DialogState*>(lParam)->context);
    return TRUE;  // the system sets the default focus
  }
  if (GetWindowLongPtrW(dialog, DWLP_USER) == 0) return FALSE;
  DialogState& state = StateOf(dialog);
  switch (message) {
    case WM_COMMAND:
      // Commands without a control (menus, accelerators) are not the dialog's.
      if (lParam != 0 && HIWORD(wParam) == BN_CLICKED) OnCommand(dialog, state, LOWORD(wParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == kPreviewTimerId) OnPreviewTick(dialog, state);
      return TRUE;
    case WM_MOUSEMOVE:
      OnMouseMove(dialog, state, wParam, lParam);
      return TRUE;
    case WM_DRAWITEM:
      // The area painted anew shows the first animation; the next tick the focused one.
      if (wParam == IDC_OPENING_PREVIEW) state.context.drawPreview(GetDlgItem(dialog, IDC_OPENING_PREVIEW), 0);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    case WM_DESTROY:
      KillTimer(dialog, kPreviewTimerId);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

OpeningChoice RunOpeningOptionDialog(HWND owner, OpeningOptionContext& context) {
  DialogState state{context, {}, {}, 0, 0};
  DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                  MAKEINTRESOURCEW(IDD_OPENING_OPTION), owner, OpeningOptionProc, reinterpret_cast<LPARAM>(&state));
  return state.choice;
}

}  // namespace zam
