// How long the main window takes to fill its browser tree with
// a large archive, measured under Wine or Windows on the real dialog: a
// generated folder holding an archive of 16,000 entries is browsed, and the
// archive is entered by double-click (navigation) and by the path box
// (refresh) several times. Prints each time and the median in milliseconds,
// as elapsed time and as the time the thread spent on a processor (which a
// busy machine disturbs less).

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/win32/main_dialog.h"
#include "img_builder.h"
#include "window_bench.h"
#include "resource.h"

namespace {

using namespace zam::bench;

constexpr int kEntries = 16000;
constexpr int kRounds = 7;

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

struct Timing {
  std::vector<double> elapsed;
  std::vector<double> processor;
  size_t items = 0;
};

// Runs `act`, lets the window handle what it posted and paint.
template <typename Act>
void Measure(Timing& timing, HWND window, Act act) {
  double start = Milliseconds();
  double startCpu = ThreadMilliseconds();
  act();
  Pump();
  UpdateWindow(window);
  timing.elapsed.push_back(Milliseconds() - start);
  timing.processor.push_back(ThreadMilliseconds() - startCpu);
  timing.items = TreeView_GetCount(GetDlgItem(window, IDC_BROWSER_TREE));
}

void Print(const char* what, const Timing& timing) {
  std::printf("%s, %zu items in the tree\n  elapsed:  ", what, timing.items);
  for (double t : timing.elapsed) std::printf(" %6.1f", t);
  std::printf("   median %.1f ms\n  processor:", Median(timing.elapsed));
  for (double t : timing.processor) std::printf(" %6.1f", t);
  std::printf("   median %.1f ms\n", Median(timing.processor));
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  char temp[MAX_PATH], folder[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  GetTempFileNameA(temp, "ztt", 0, folder);
  DeleteFileA(folder);
  CreateDirectoryA(folder, nullptr);
  std::string dir = folder;
  std::vector<zam::gen::ImgBuildEntry> entries;
  for (int i = 0; i < kEntries; ++i) {
    entries.push_back({"entry" + std::to_string(i) + (i % 2 ? ".dff" : ".ifp"), {}});
  }
  std::vector<uint8_t> archive = zam::gen::BuildImgArchive(entries);
  std::ofstream(dir + "\\big.img", std::ios::binary)
      .write(reinterpret_cast<const char*>(archive.data()), static_cast<std::streamsize>(archive.size()));
  std::ofstream(dir + "\\ZelcorAnimManager.ini") << "[Directory]\nInitDir=" << dir << "\n";

  zam::StartupArgs args;
  args.programPath = dir + "\\ZelcorAnimManager.exe";
  args.arguments = {"ZelcorAnimManager.exe"};
  HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr, zam::MainDialogProc,
                                   reinterpret_cast<LPARAM>(&args));
  if (!window) return 1;
  ShowWindow(window, SW_SHOW);
  Pump();
  HWND tree = GetDlgItem(window, IDC_BROWSER_TREE);
  HWND pathBox = GetDlgItem(window, IDC_PATH_BOX);

  auto goTo = [window, pathBox](const std::string& path) {
    SetWindowTextA(pathBox, path.c_str());
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_PATH_GO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_PATH_GO)));
  };
  Timing navigation, leaving, refresh;
  for (int round = 0; round < kRounds; ++round) {
    HTREEITEM item = FindChild(tree, TreeView_GetSelection(tree), "big.img");
    if (!item) return 1;
    Measure(navigation, window, [&] { DoubleClick(tree, item); });
    Measure(leaving, window, [&] { DoubleClick(tree, TreeView_GetParent(tree, TreeView_GetSelection(tree))); });
  }
  for (int round = 0; round < kRounds; ++round) {
    Measure(refresh, window, [&] { goTo(dir + "\\big.img"); });
    goTo(dir);
    Pump();
  }
  Print("Into the archive by double-click", navigation);
  Print("Out of the archive by double-click", leaving);
  Print("To the archive by the path box", refresh);

  DestroyWindow(window);
  DeleteFileA((dir + "\\big.img").c_str());
  DeleteFileA((dir + "\\ZelcorAnimManager.ini").c_str());
  RemoveDirectoryA(dir.c_str());
  return 0;
}
