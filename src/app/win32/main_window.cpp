#include "app/win32/main_window.h"

namespace zam {

MainWindow* MainWindowOf(HWND window) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, DWLP_USER)); }

MainWindow& CreateMainWindow(HWND window, HINSTANCE instance, const std::string& settingsPath) {
  auto* main = new MainWindow(window, instance, settingsPath);
  SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(main));
  return *main;
}

void DestroyMainWindow(HWND window) {
  delete MainWindowOf(window);
  SetWindowLongPtrW(window, DWLP_USER, 0);
}

}  // namespace zam
