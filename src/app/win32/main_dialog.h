#pragma once
// The main window: one dialog from resource 101 whose procedure owns the
// editor's state and routes commands and notifications.

#include <windows.h>

#include <string>
#include <vector>

namespace zam {

// What the dialog is started with: the program's command-line arguments,
// the executable's path first, already converted to 8-bit text.
struct StartupArgs {
  std::vector<std::string> arguments;
};

// The dialog procedure; WM_INITDIALOG takes a StartupArgs* as its lParam.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The command line of this process, split and converted to the 8-bit code
// page (each argument at most 260 bytes).
StartupArgs ProcessStartupArgs();

}  // namespace zam
