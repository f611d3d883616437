// How long the editor takes from its start to a window whose animation list
// shows the package it was started with, next to the same for a minimal
// dialog program (startup_anchor, beside this program) started the same way
// in the same place: what starting any window program costs here. Each round
// starts the anchor, then the editor with a small package (the demo, 12 KB)
// and with a large one (3.8 MB), after one round that is not counted. The
// editor is a copy beside the generated files, with settings that load the
// demo character and pistol and browse their folder, as the run command
// leaves them. A start counts as done when a visible window of the process
// answers that its list has rows. Prints each time, the medians and their
// ratios. Usage: startup_bench [ROUNDS] (7 by default).

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "anchor/startup_anchor.h"
#include "anim/ifp_writer.h"
#include "demo_animations.h"
#include "demo_models.h"
#include "resource.h"
#include "sample_packages.h"
#include "window_bench.h"

namespace {

using namespace zam::bench;

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

std::vector<uint8_t> Package(const zam::AnimPackage& package) {
  std::vector<uint8_t> bytes;
  zam::WriteIfp(package, bytes);
  return bytes;
}

std::string ThisProgramsFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

struct Search {
  DWORD process;
  int listId;
  HWND list = nullptr;
};

BOOL CALLBACK FindList(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search->process || !IsWindowVisible(window)) return TRUE;
  search->list = GetDlgItem(window, search->listId);
  return search->list ? FALSE : TRUE;
}

struct Start {
  double shown = -1;  // a visible window of the process had the list
  double rows = -1;   // the list answered that it has rows
};

// Starts `program` with `argument` in `folder` and waits (at most 60 s) for
// a visible window of it whose control `listId` is a list with rows; the
// program is ended then.
Start TimeStart(const std::string& program, const std::string& argument, const std::string& folder, int listId) {
  std::string commandLine = "\"" + program + "\" \"" + argument + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  Start start;
  const double begin = Milliseconds();
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process)) {
    return start;
  }
  while (Milliseconds() - begin < 60000 && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
    Search search{process.dwProcessId, listId};
    EnumWindows(FindList, reinterpret_cast<LPARAM>(&search));
    if (search.list) {
      if (start.shown < 0) start.shown = Milliseconds() - begin;
      DWORD_PTR count = 0;
      if (SendMessageTimeoutW(search.list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 10000, &count) && count > 0) {
        start.rows = Milliseconds() - begin;
        break;
      }
    }
    Sleep(1);
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return start;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::string here = ThisProgramsFolder();
  std::string editorBuilt = here + ZAM_EDITOR_FROM_BENCH;
  std::replace(editorBuilt.begin(), editorBuilt.end(), '/', '\\');
  const std::string anchor = here + "startup_anchor.exe";

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "zam_startup";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string editor = folder + "\\ZelcorAnimManager.exe";
  const std::string small = folder + "\\demo.ifp", large = folder + "\\game.ifp";
  if (!CopyFileA(editorBuilt.c_str(), editor.c_str(), FALSE) ||
      !WriteFile(small, Package(zam::gen::DemoPackage(zam::kFormatANPK))) ||
      !WriteFile(large, Package(zam::gen::MakePackage(zam::gen::RealGameShape(zam::kFormatANP3)))) ||
      !WriteFile(folder + "\\character.dff", zam::gen::BuildCharacterDff(zam::gen::DemoCharacter())) ||
      !WriteFile(folder + "\\character.txd", zam::gen::BuildTxd(zam::gen::DemoCharacterTextures())) ||
      !WriteFile(folder + "\\pistol.dff", zam::gen::BuildWeaponDff(zam::gen::DemoWeapon())) ||
      !WriteFile(folder + "\\pistol.txd", zam::gen::BuildTxd(zam::gen::DemoWeaponTextures()))) {
    std::fprintf(stderr, "cannot prepare %s (the editor built at %s)\n", folder.c_str(), editorBuilt.c_str());
    return 1;
  }
  std::ofstream(folder + "\\ZelcorAnimManager.ini")
      << "[Directory]\r\nInitDir=" << folder << "\\\r\n[Preview]\r\nModel=" << folder << "\\character.dff\r\nWeapon="
      << folder << "\\pistol.dff\r\n";

  std::vector<double> anchorTimes, smallTimes, largeTimes;
  bool failed = false;
  for (int round = 0; round <= rounds; ++round) {
    const Start a = TimeStart(anchor, small, folder, IDC_ANCHOR_LIST);
    const Start s = TimeStart(editor, small, folder, IDC_ANIMATION_LIST);
    const Start l = TimeStart(editor, large, folder, IDC_ANIMATION_LIST);
    failed |= a.rows < 0 || s.rows < 0 || l.rows < 0;
    std::printf("%s: anchor %.0f ms (shown %.0f), editor with 12 KB %.0f ms (shown %.0f), with 3.8 MB %.0f ms "
                "(shown %.0f)\n",
                round == 0 ? "first round, not counted" : ("round " + std::to_string(round)).c_str(), a.rows,
                a.shown, s.rows, s.shown, l.rows, l.shown);
    std::fflush(stdout);
    if (round == 0) continue;
    anchorTimes.push_back(a.rows);
    smallTimes.push_back(s.rows);
    largeTimes.push_back(l.rows);
  }
  const double anchorMedian = Median(anchorTimes);
  std::printf("medians of %d rounds: anchor %.0f ms, editor with 12 KB %.0f ms (%.2f times the anchor), "
              "with 3.8 MB %.0f ms (%.2f times)\n",
              rounds, anchorMedian, Median(smallTimes), Median(smallTimes) / anchorMedian, Median(largeTimes),
              Median(largeTimes) / anchorMedian);
  return failed ? 1 : 0;
}
