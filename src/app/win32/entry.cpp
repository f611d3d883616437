// Program entry: the whole program is the main dialog, run modally.

#include <windows.h>
#include <commctrl.h>

#include "app/win32/main_dialog.h"
#include "platform/temporary_notes.h"
#include "resource.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES |
                                                     ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  // What an earlier run, or zam, left behind when it was killed.
  zam::RemoveAbandonedTemporaries();
  zam::StartupArgs args = zam::ProcessStartupArgs();
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), GetDesktopWindow(), zam::MainDialogProc,
                  reinterpret_cast<LPARAM>(&args));
  return 0;
}
