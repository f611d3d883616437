#include "app/win32/progress_dialog.h"

#include <commctrl.h>

#include "resource.h"

namespace zam {
namespace {

constexpr int kSteps = 1000;
// Messages are handled at least this often while the task runs.
constexpr DWORD kPumpMilliseconds = 30;

INT_PTR CALLBACK ProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        *reinterpret_cast<bool*>(GetWindowLongPtrW(dialog, DWLP_USER)) = true;
        EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
      }
      return TRUE;
  }
  return FALSE;
}

}  // namespace

ProgressDialog::ProgressDialog(HWND owner, const std::wstring& text) : owner_(owner) {
  dialog_ =
      CreateDialogParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                         MAKEINTRESOURCEW(IDD_PROGRESS), owner, ProgressProc, reinterpret_cast<LPARAM>(&cancelled_));
  if (!dialog_) return;
  SetDlgItemTextW(dialog_, IDC_PROGRESS_TEXT, text.c_str());
  SendDlgItemMessageW(dialog_, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kSteps);
  EnableWindow(owner_, FALSE);
  ShowWindow(dialog_, SW_SHOW);
  UpdateWindow(dialog_);
}

ProgressDialog::~ProgressDialog() {
  if (!dialog_) return;
  // The owner first, so that it takes the activation back.
  EnableWindow(owner_, TRUE);
  DestroyWindow(dialog_);
}

bool ProgressDialog::Update(uint64_t done, uint64_t total) {
  if (!dialog_) return true;
  int position = total > 0 ? static_cast<int>(done * kSteps / total) : kSteps;
  if (position != shown_) {
    SendDlgItemMessageW(dialog_, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    shown_ = position;
  }
  DWORD now = GetTickCount();
  if (now - lastPumped_ >= kPumpMilliseconds) {
    lastPumped_ = now;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // Left for the loop that waits for it; the task stops first.
        PostQuitMessage(static_cast<int>(message.wParam));
        cancelled_ = true;
        break;
      }
      if (!IsDialogMessageW(dialog_, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
  }
  return !cancelled_;
}

}  // namespace zam
