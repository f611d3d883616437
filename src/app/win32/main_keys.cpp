#include "app/win32/main_keys.h"

#include <commctrl.h>

#include "app/win32/commands.h"
#include "resource.h"

namespace zam {
namespace {

// The hook belongs to the thread, and has no other way to the window.
struct MainKeys {
  HWND window = nullptr;
  HACCEL table = nullptr;
  HHOOK hook = nullptr;
} keys;

bool IsClass(HWND window, const wchar_t* className) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return lstrcmpiW(name, className) == 0;
}

// Keys typed into an edit box are its own; keys of other windows of the
// program (its other dialogs, message boxes) are theirs. Home and End move
// within a focused list or the tree; Left and Right move the play head only
// from the time bar or the preview.
bool IsMainWindowKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.hwnd != keys.window && !IsChild(keys.window, message.hwnd)) return false;
  HWND focus = GetFocus();
  if (IsClass(focus, L"Edit")) return false;
  switch (message.wParam) {
    case VK_HOME:
    case VK_END:
      return !IsClass(focus, WC_LISTVIEWW) && !IsClass(focus, WC_TREEVIEWW);
    case VK_LEFT:
    case VK_RIGHT:
      return focus == GetDlgItem(keys.window, IDC_TIME_BAR) || focus == GetDlgItem(keys.window, IDC_PREVIEW);
    default:
      return true;
  }
}

LRESULT CALLBACK FilterKeys(int code, WPARAM wParam, LPARAM lParam) {
  MSG* message = reinterpret_cast<MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && IsMainWindowKey(*message) && TranslateAcceleratorW(keys.window, keys.table, message)) {
    return TRUE;
  }
  return CallNextHookEx(keys.hook, code, wParam, lParam);
}

// Ending the edit by taking its focus applies the typed name (the list
// treats every end of an edit alike).
void FinishLabelEdits(const MainWindow& main) {
  for (int id : {IDC_ANIMATION_LIST, IDC_BONE_LIST}) {
    HWND list = main.Control(id);
    if (SendMessageW(list, LVM_GETEDITCONTROL, 0, 0)) SetFocus(list);
  }
}

}  // namespace

void InstallMainKeys(MainWindow& main) {
  keys.window = main.window;
  keys.table = LoadAcceleratorsW(main.instance, MAKEINTRESOURCEW(IDR_MAIN_KEYS));
  keys.hook = SetWindowsHookExW(WH_MSGFILTER, FilterKeys, nullptr, GetCurrentThreadId());
}

void RemoveMainKeys(HWND window) {
  if (keys.window != window) return;
  UnhookWindowsHookEx(keys.hook);
  keys = {};
}

void RunMenuCommand(MainWindow& main, int commandId) {
  FinishLabelEdits(main);
  RunCommand(main, commandId);
}

void OnMainWindowClick(MainWindow& main, LPARAM position) {
  POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  HWND area = main.Control(IDC_PREVIEW);
  MapWindowPoints(main.window, area, &point, 1);
  RECT client;
  GetClientRect(area, &client);
  if (PtInRect(&client, point)) SetFocus(area);
}

}  // namespace zam
