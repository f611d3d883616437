// zamplay: makes a running editor play an animation, as a user would by
// clicking its row and the play button. The run command uses it so the demo
// starts moving on its own.
//
//   zamplay "TITLE" ROW     waits up to 30 s for the editor's window titled
//                           TITLE to be shown, selects animation ROW and
//                           starts playback

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "resource.h"

namespace {

// The window takes its title while it starts, before it is shown: a user
// clicks once it is on the screen.
HWND WaitForWindow(const char* title) {
  for (int waited = 0; waited < 300; ++waited) {
    HWND window = FindWindowA(nullptr, title);
    if (window && IsWindowVisible(window)) return window;
    Sleep(100);
  }
  return nullptr;
}

// The list lives in another process: the item state goes through memory
// allocated there.
bool SelectRow(HWND list, int row) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
  if (!process) return false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  bool selected = remote && WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
                  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return selected;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zamplay \"TITLE\" ROW\n");
    return 2;
  }
  HWND window = WaitForWindow(argv[1]);
  if (!window) {
    std::fprintf(stderr, "no window titled \"%s\"\n", argv[1]);
    return 1;
  }
  if (!SelectRow(GetDlgItem(window, IDC_ANIMATION_LIST), std::atoi(argv[2]))) {
    std::fprintf(stderr, "could not select animation %s\n", argv[2]);
    return 1;
  }
  HWND play = GetDlgItem(window, IDC_PLAY);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_PLAY, BN_CLICKED), reinterpret_cast<LPARAM>(play));
  return 0;
}
