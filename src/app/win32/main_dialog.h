#pragma once
// The main window: one dialog from resource 101 whose procedure owns the
// editor's state and routes commands and notifications.

#include <windows.h>

#include <string>
#include <vector>

namespace zam {

// What the dialog is started with, already converted to 8-bit text.
struct StartupArgs {
  std::string programPath;              // the executable, from the module itself
  std::vector<std::string> arguments;  // the command line, the program's name first
};

// The dialog procedure; WM_INITDIALOG takes a StartupArgs* as its lParam.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// This process's executable path and command line, split and converted to
// the 8-bit code page (each argument at most 260 bytes).
StartupArgs ProcessStartupArgs();

}  // namespace zam
