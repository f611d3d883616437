#include "app/win32/change_speed_dialog.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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

std::optional<double> ParseSpeedFactor(const std::string& text) {
  char* end = nullptr;
  const double factor = std::strtod(text.c_str(), &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == text.c_str() || !end || *end != '\0' || !(factor > 0.0) || !std::isfinite(factor)) return std::nullopt;
  // Four significant digits: the number shown with four of them is itself.
  char shortest[32];
  std::snprintf(shortest, sizeof shortest, "%.4g", factor);
  if (std::strtod(shortest, nullptr) != factor) return std::nullopt;
  return factor;
}

std::optional<double> RunChangeSpeedDialog(HWND owner) {
  double factor = 0.0;
  INT_PTR result = DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                                   MAKEINTRESOURCEW(IDD_CHANGE_SPEED), owner, ChangeSpeedProc,
                                   reinterpret_cast<LPARAM>(&factor));
  if (result != 1) return std::nullopt;
  return factor;
}

}  // namespace zam
