// One preview frame of a game-sized character (30,000 vertices, 32 bones,
// 32 tracks of 120 keys) at the main window's first size, through the
// program's own path: pose, CPU skinning into the dynamic vertex buffer,
// drawing, reading the frame back and painting it. Prints the median and the
// 90th percentile of 300 frames and the heap allocations they made (there
// must be none). Runs under Wine or on Windows.

#include <windows.h>

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

namespace {

std::atomic<long> allocations{0};

double Milliseconds() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

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
  zam::Editor& editor = main.editor;
  if (!main.previewDevice.device()) {
    std::fprintf(stderr, "no Direct3D 9 device\n");
    return 1;
  }
  // The models and the package go through files, as the editor takes them.
  const std::string folder = std::string(temp) + "zam_bench";
  CreateDirectoryA(folder.c_str(), nullptr);
  WriteFile(folder + "\\character.dff", zam::gen::BuildCharacterDff(zam::gen::LargeCharacter(30000, 32)));
  WriteFile(folder + "\\character.txd", zam::gen::BuildTxd(zam::gen::LargeCharacterTextures()));
  WriteFile(folder + "\\pistol.dff", zam::gen::BuildWeaponDff(zam::gen::DemoWeapon()));
  zam::ShowChanges(main, editor.LoadModel(zam::ModelRole::Character, folder + "\\character.dff", false, false));
  zam::ShowChanges(main, editor.LoadModel(zam::ModelRole::Weapon, folder + "\\pistol.dff", false, false));
  std::vector<uint8_t> package;
  zam::WriteIfp(Animation(editor.character()), package);
  WriteFile(folder + "\\walk.ifp", package);
  zam::ShowChanges(main, editor.OpenFile(folder + "\\walk.ifp"));
  zam::ShowChanges(main, editor.SetAnimationSelected(0, true));

  auto frame = [&main](int i) {
    main.editor.sharedPreviewTime() = static_cast<float>(i % 240) / 60.0f;
    zam::RenderPreview(main);
  };
  for (int i = 0; i < 30; ++i) frame(i);  // first frames build the device's state
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
  std::printf("preview frame, %ldx%ld pixels, %zu vertices, %d bones: median %.2f ms, 90th percentile %.2f ms, "
              "%ld allocations in %d frames\n",
              area.right, area.bottom, editor.character().vertices.size(), editor.character().boneCount,
              times[kFrames / 2], times[kFrames * 9 / 10], frameAllocations, kFrames);
  DestroyWindow(window);
  for (const char* name : {"character.dff", "character.txd", "pistol.dff", "walk.ifp"}) {
    DeleteFileA((folder + "\\" + name).c_str());
  }
  return frameAllocations == 0 ? 0 : 1;
}
