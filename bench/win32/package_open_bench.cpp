// How long the main window keeps the user waiting on a package of the
// game's size (300 animations): opening it from the browser tree (the double
// click), and deleting an animation, undoing and redoing that.
// Each time runs from the command to the window having handled it and
// painted, as a user waits; the window's thread runs its own message loop
// while a second thread gives the commands and watches. Prints each time,
// the median, and the window thread's processor time.

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "anim/ifp_writer.h"
#include "app/win32/main_dialog.h"
#include "resource.h"
#include "sample_packages.h"
#include "window_bench.h"

namespace {

using namespace zam::bench;

constexpr int kRounds = 5;
constexpr UINT kSettle = WM_APP + 1;  // thread message: paint everything, then signal

HWND g_window = nullptr;
DWORD g_windowThread = 0;
HANDLE g_settled = nullptr;

// Returns once the window's thread has handled everything posted before and
// painted what that invalidated.
void WaitUntilSettled() {
  PostThreadMessageW(g_windowThread, kSettle, 0, 0);
  WaitForSingleObject(g_settled, INFINITE);
}

void Command(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

struct Timing {
  const char* what;
  std::vector<double> elapsed;
  std::vector<double> processor;
};

void Print(const Timing& timing) {
  std::printf("%s\n  elapsed:  ", timing.what);
  for (double t : timing.elapsed) std::printf(" %7.1f", t);
  std::printf("   median %.1f ms\n  processor:", Median(timing.elapsed));
  for (double t : timing.processor) std::printf(" %7.1f", t);
  std::printf("   median %.1f ms\n", Median(timing.processor));
}

struct Bench {
  std::string dir;
  HANDLE windowThread;
  Timing opening{"Open by double-click in the tree", {}, {}};
  Timing choosing{"Choose the first animation (its tracks and keys shown)", {}, {}};
  Timing deleting{"Delete the first animation", {}, {}};
  Timing undoing{"Undo the delete", {}, {}};
  Timing redoing{"Redo the delete", {}, {}};
  int rows = 0;

  void Measure(Timing& timing, const std::function<void()>& command) {
    double start = Milliseconds(), startCpu = ThreadMilliseconds(windowThread);
    command();
    timing.elapsed.push_back(Milliseconds() - start);
    timing.processor.push_back(ThreadMilliseconds(windowThread) - startCpu);
  }

  void Run() {
    HWND tree = GetDlgItem(g_window, IDC_BROWSER_TREE);
    HWND list = GetDlgItem(g_window, IDC_ANIMATION_LIST);
    WaitUntilSettled();
    const HTREEITEM folder = TreeView_GetSelection(tree);
    for (int round = 0; round < kRounds; ++round) {
      HTREEITEM item = FindChild(tree, folder, "real.ifp");
      if (!item) return;
      Measure(opening, [&] {
        DoubleClick(tree, item);
        WaitUntilSettled();
      });
      rows = ListView_GetItemCount(list);
      Measure(choosing, [&] {
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        WaitUntilSettled();
      });
      Measure(deleting, [&] {
        Command(g_window, ID_ANIM_DELETE);
        WaitUntilSettled();
      });
      Measure(undoing, [&] {
        Command(g_window, ID_EDIT_UNDO);
        WaitUntilSettled();
      });
      Measure(redoing, [&] {
        Command(g_window, ID_EDIT_REDO);
        WaitUntilSettled();
      });
      Command(g_window, ID_EDIT_UNDO);  // unmodified again: the next open asks nothing more
      WaitUntilSettled();
    }
  }
};

DWORD WINAPI Drive(void* bench) {
  static_cast<Bench*>(bench)->Run();
  PostThreadMessageW(g_windowThread, WM_QUIT, 0, 0);
  return 0;
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  char temp[MAX_PATH], folder[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "zpo", 0, folder);
  DeleteFileA(folder);
  CreateDirectoryA(folder, nullptr);
  Bench bench;
  bench.dir = folder;
  std::vector<uint8_t> bytes;
  zam::WriteIfp(zam::gen::MakePackage(zam::gen::RealGameShape(zam::kFormatANP3)), bytes);
  std::ofstream(bench.dir + "\\real.ifp", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  std::ofstream(bench.dir + "\\ZelcorAnimManager.ini") << "[Directory]\nInitDir=" << bench.dir << "\n";

  zam::StartupArgs args;
  args.programPath = bench.dir + "\\ZelcorAnimManager.exe";
  args.arguments = {"ZelcorAnimManager.exe"};
  g_window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr, zam::MainDialogProc,
                                reinterpret_cast<LPARAM>(&args));
  if (!g_window) return 1;
  ShowWindow(g_window, SW_SHOW);
  g_windowThread = GetCurrentThreadId();
  g_settled = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &bench.windowThread, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue exists before the driver posts
  HANDLE driver = CreateThread(nullptr, 0, Drive, &bench, 0, nullptr);
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!message.hwnd && message.message == kSettle) {
      RedrawWindow(g_window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      SetEvent(g_settled);
      continue;
    }
    if (IsDialogMessageW(g_window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  WaitForSingleObject(driver, INFINITE);

  std::printf("A package of %zu KiB, %d animations in the list after opening\n", bytes.size() / 1024, bench.rows);
  for (const Timing* timing : {&bench.opening, &bench.choosing, &bench.deleting, &bench.undoing, &bench.redoing})
    Print(*timing);

  DestroyWindow(g_window);
  DeleteFileA((bench.dir + "\\real.ifp").c_str());
  DeleteFileA((bench.dir + "\\ZelcorAnimManager.ini").c_str());
  RemoveDirectoryA(bench.dir.c_str());
  return 0;
}
