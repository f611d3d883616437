#pragma once
// The main window: one dialog from resource 101 whose procedure owns the
// window's state and turns its messages into commands.

#include <windows.h>

#include <string>
#include <vector>

namespace zam {

// What the dialog is started with, as UTF-8.
struct StartupArgs {
  std::string programPath;              // the executable, from the module itself
  std::vector<std::string> arguments;  // the command line, the program's name first
};

// The dialog procedure; WM_INITDIALOG takes a StartupArgs* as its lParam.
INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// This process's executable path and command line, split.
StartupArgs ProcessStartupArgs();

}  // namespace zam
