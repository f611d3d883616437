#include "app/win32/change_speed_dialog.h"

#include "app/editor.h"
#include "app/win32/ui_prompts.h"
#include "resource.h"

namespace zam {
namespace {

INT_PTR CALLBACK ChangeSpeedProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SendDlgItemMessageW(dialog, IDC_SPEED_FACTOR, EM_LIMITTEXT, 32, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        char text[40] = {};
        GetDlgItemTextA(dialog, IDC_SPEED_FACTOR, text, sizeof text);
        std::optional<double> factor = ParseSpeedFactor(text);
        if (!factor) {
          ShowMessage(dialog, Message::SpeedFactorInvalid);
          return TRUE;
        }
        *reinterpret_cast<double*>(GetWindowLongPtrW(dialog, DWLP_USER)) = *factor;
        EndDialog(dialog, 1);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
      }
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

std::optional<double> RunChangeSpeedDialog(HWND owner) {
  double factor = 0.0;
  INT_PTR result = DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                                   MAKEINTRESOURCEW(IDD_CHANGE_SPEED), owner, ChangeSpeedProc,
                                   reinterpret_cast<LPARAM>(&factor));
  if (result != 1) return std::nullopt;
  return factor;
}

}  // namespace zam
