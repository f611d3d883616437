// The anchor of the start-up timing: the least a dialog program with a list
// view does before it shows its window, started like the editor (the same
// manifest, common controls, a file named on the command line). Its list
// shows the file's name.

#include <windows.h>
#include <commctrl.h>

#include "startup_anchor.h"

namespace {

INT_PTR CALLBACK AnchorProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    HWND list = GetDlgItem(window, IDC_ANCHOR_LIST);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 300;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(lParam);
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return TRUE;
  }
  if (message == WM_CLOSE) EndDialog(window, 0);
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  wchar_t none[] = L"";
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ANCHOR), nullptr, AnchorProc,
                  reinterpret_cast<LPARAM>(count > 1 ? arguments[1] : none));
  LocalFree(arguments);
  return 0;
}
