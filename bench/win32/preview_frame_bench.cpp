// Preview frames through the program's own path: pose, CPU skinning into the
// dynamic vertex buffer, drawing, and showing the frame in the preview area.
// Three cases: a game-sized character (30,000 vertices, 32 bones) at the main
// window's first size, and a typical one (7,800 vertices, 32 bones, holding
// the textured pistol) at 342 x 276 and at 1,000 x 700 pixels, the size of a
// maximised window's preview. Each animates 32 tracks of 120 keys and prints
// the median and the 90th percentile of 300 frames and the heap allocations
// they made (there must be none). Runs under Wine or on Windows.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "anim/ifp_writer.h"
#include "app/win32/main_dialog.h"
#include "app/win32/main_window.h"
#include "app/win32/preview_view.h"
#include "app/win32/view_updates.h"
#include "demo_models.h"
#include "dff_builder.h"
#include "resource.h"
#include "txd_builder.h"
#include "window_bench.h"

namespace {

using namespace zam::bench;

std::atomic<long> allocations{0};

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// Every bone of the character turning a little from key to key.
zam::AnimPackage Animation(const zam::SkinnedModelData& character) {
  zam::AnimPackage package{};
  package.format = zam::kFormatANP3;
  zam::Animation animation{};
  for (int bone = 0; bone < character.boneCount; ++bone) {
    zam::BoneTrack track{};
    track.boneId = character.boneIds[static_cast<size_t>(bone)];
    track.keyType = bone == 0 ? zam::kKeyKRT0 : zam::kKeyKR00;
    for (int k = 0; k < 120; ++k) {
      zam::KeyFrame key{};
      float angle = 0.02f * static_cast<float>((k * 7 + bone * 3) % 31);
      key.rotation[0] = std::sin(angle), key.rotation[3] = std::cos(angle);
      key.time = static_cast<float>(k) / 30.0f;
      track.keys.push_back(key);
    }
    animation.bones.push_back(track);
  }
  package.animations.push_back(animation);
  return package;
}

// The character at `dff` (its dictionary beside it), the pistol, and an
// animation of every bone of the character, opened and selected as a user
// would, through files.
void LoadScene(zam::MainWindow& main, const std::string& folder, const std::string& dff, const std::string& ifp) {
  zam::Editor& editor = main.editor;
  zam::ShowChanges(main, editor.LoadModel(zam::ModelRole::Character, folder + "\\" + dff, false, false));
  zam::ShowChanges(main, editor.LoadModel(zam::ModelRole::Weapon, folder + "\\pistol.dff", false, false));
  std::vector<uint8_t> package;
  zam::WriteIfp(Animation(editor.character()), package);
  WriteFile(folder + "\\" + ifp, package);
  zam::ShowChanges(main, editor.OpenFile(folder + "\\" + ifp));
  zam::ShowChanges(main, editor.SetAnimationSelected(0, true));
}

// The system keeps windows within the screen's size; the main window must
// grow past it for a large preview area on a small virtual screen.
LRESULT CALLBACK AnySize(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  if (message == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(lParam)->ptMaxTrackSize = {32000, 32000};
  return result;
}

// The preview area made width x height pixels, the main window grown
// first when its layout gives a smaller area, and moved so that the whole
// area is on the screen: a part off the screen would not be painted at all.
// False when the screen is too small.
bool SizePreviewArea(zam::MainWindow& main, int width, int height) {
  SetWindowSubclass(main.window, AnySize, 1, 0);
  HWND area = main.Control(IDC_PREVIEW);
  RECT client{}, outer{}, placed{};
  GetClientRect(area, &client);
  if (client.right < width || client.bottom < height) {
    GetWindowRect(main.window, &outer);
    SetWindowPos(main.window, nullptr, 0, 0, outer.right - outer.left + std::max(0L, width - client.right),
                 outer.bottom - outer.top + std::max(0L, height - client.bottom), SWP_NOMOVE | SWP_NOZORDER);
    Pump();
  }
  // The layout's area may be larger by a few pixels: the control takes the size itself.
  GetWindowRect(area, &placed);
  GetClientRect(area, &client);
  SetWindowPos(area, nullptr, 0, 0, placed.right - placed.left - client.right + width,
               placed.bottom - placed.top - client.bottom + height, SWP_NOMOVE | SWP_NOZORDER);
  zam::FitPreviewToArea(main);
  GetWindowRect(main.window, &outer);
  GetWindowRect(area, &placed);
  SetWindowPos(main.window, nullptr, outer.left - placed.left, outer.top - placed.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  Pump();
  GetClientRect(area, &client);
  GetWindowRect(area, &placed);
  return client.right == width && client.bottom == height && placed.left >= 0 && placed.top >= 0 &&
         placed.right <= GetSystemMetrics(SM_CXSCREEN) && placed.bottom <= GetSystemMetrics(SM_CYSCREEN);
}

// Times 300 frames after 30 that build the device's state; false when they
// allocated.
bool TimeFrames(zam::MainWindow& main, const char* what) {
  auto frame = [&main](int i) {
    main.editor.sharedPreviewTime() = static_cast<float>(i % 240) / 60.0f;
    zam::RenderPreview(main);
  };
  for (int i = 0; i < 30; ++i) frame(i);
  constexpr int kFrames = 300;
  std::vector<double> times;
  times.reserve(kFrames);
  long allocationsBefore = allocations;
  for (int i = 0; i < kFrames; ++i) {
    double start = Milliseconds();
    frame(i);
    times.push_back(Milliseconds() - start);
  }
  long frameAllocations = allocations - allocationsBefore;
  std::sort(times.begin(), times.end());
  RECT area;
  GetClientRect(main.Control(IDC_PREVIEW), &area);
  const zam::SkinnedModelData& character = main.editor.character();
  std::printf("preview frame, %s, %ldx%ld pixels, %zu vertices, %d bones: median %.2f ms, 90th percentile %.2f ms, "
              "%ld allocations in %d frames\n",
              what, area.right, area.bottom, character.vertices.size(), character.boneCount, times[kFrames / 2],
              times[kFrames * 9 / 10], frameAllocations, kFrames);
  std::fflush(stdout);
  return frameAllocations == 0;
}

}  // namespace

// Counting replacements of the global allocation functions. GCC takes the
// free() of a replaced operator delete for a mismatch; it is not one.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

int main() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  zam::StartupArgs args;
  args.programPath = std::string(temp) + "zam_bench\\ZelcorAnimManager.exe";  // no settings there: the defaults
  args.arguments = {"ZelcorAnimManager.exe"};
  HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                   zam::MainDialogProc, reinterpret_cast<LPARAM>(&args));
  if (!window) return 1;
  Pump();
  zam::MainWindow& main = *zam::MainWindowOf(window);
  if (!main.previewDevice.device()) {
    std::fprintf(stderr, "no Direct3D 9 device\n");
    return 1;
  }
  // The models and the packages go through files, as the editor takes them.
  const std::string folder = std::string(temp) + "zam_bench";
  CreateDirectoryA(folder.c_str(), nullptr);
  WriteFile(folder + "\\game.dff", zam::gen::BuildCharacterDff(zam::gen::LargeCharacter(30000, 32)));
  WriteFile(folder + "\\game.txd", zam::gen::BuildTxd(zam::gen::LargeCharacterTextures()));
  WriteFile(folder + "\\typical.dff", zam::gen::BuildCharacterDff(zam::gen::LargeCharacter(7800, 32)));
  WriteFile(folder + "\\typical.txd", zam::gen::BuildTxd(zam::gen::LargeCharacterTextures()));
  WriteFile(folder + "\\pistol.dff", zam::gen::BuildWeaponDff(zam::gen::DemoWeapon()));
  WriteFile(folder + "\\pistol.txd", zam::gen::BuildTxd(zam::gen::DemoWeaponTextures()));

  bool allocationFree = true;
  LoadScene(main, folder, "game.dff", "game.ifp");
  allocationFree &= TimeFrames(main, "game-sized character, first window size");
  LoadScene(main, folder, "typical.dff", "typical.ifp");
  for (SIZE size : {SIZE{342, 276}, SIZE{1000, 700}}) {
    if (!SizePreviewArea(main, size.cx, size.cy)) {
      std::fprintf(stderr, "the screen cannot show a preview of %ldx%ld pixels\n", size.cx, size.cy);
      allocationFree = false;
      continue;
    }
    allocationFree &= TimeFrames(main, "typical character with a weapon");
  }
  DestroyWindow(window);
  for (const char* name : {"game.dff", "game.txd", "game.ifp", "typical.dff", "typical.txd", "typical.ifp",
                           "pistol.dff", "pistol.txd"}) {
    DeleteFileA((folder + "\\" + name).c_str());
  }
  return allocationFree ? 0 : 1;
}
