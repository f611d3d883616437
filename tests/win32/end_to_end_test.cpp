// Starts the built program as a user would, with a package on its command
// line, and looks at its window from outside.

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "anim/ifp_writer.h"
#include "editor_fixture.h"
#include "resource.h"

namespace zam::test {
namespace {

std::string ProgramPath() {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.find_last_of('\\')) + "\\..\\src\\ZelcorAnimManager.exe";
}

// The main window of process `process`, once it exists (visible or not).
HWND MainWindowOfProcess(DWORD process) {
  struct Search {
    DWORD process;
    HWND found = nullptr;
  } search{process};
  EnumWindows(
      [](HWND window, LPARAM data) {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char title[256] = {};
        GetWindowTextA(window, title, sizeof title);
        if (owner != search->process || std::string(title).find(" - Zelcor Animation Manager") == std::string::npos) {
          return TRUE;
        }
        search->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindow(const char* title, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += 100) {
    if (HWND window = FindWindowA(nullptr, title)) return window;
    Sleep(100);
  }
  return nullptr;
}

class EndToEnd : public EditorTest {
 protected:
  struct Started {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
  };

  // Runs `program` (with `command` as its command line) in the test's folder.
  Started Launch(const std::string& program, std::string command) {
    Started started;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    EXPECT_TRUE(CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(),
                               &startup, &started.process))
        << GetLastError();
    return started;
  }

  // Closes the program's window and expects it to end with exit code 0;
  // returns the milliseconds the window stayed on the screen.
  DWORD CloseProgram(Started& started) {
    const DWORD asked = GetTickCount();
    PostMessageA(started.window, WM_CLOSE, 0, 0);
    while (IsWindowVisible(started.window) && GetTickCount() - asked < 5000) Sleep(1);
    const DWORD shown = GetTickCount() - asked;
    EXPECT_EQ(WaitForSingleObject(started.process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(started.process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
    return shown;
  }
};

// From the moment its window exists, the program never lists the package's
// animations under the title of a new document; closed, its window goes at
// once, whatever releasing the device takes after.
TEST_F(EndToEnd, ProgramOpensItsCommandLinePackageTitledAndClosesAtOnce) {
  std::string package = WritePackage("e2e walk.ifp", TestPackage(kFormatANP3, 3));
  Started program = Launch(ProgramPath(), "\"" + ProgramPath() + "\" \"" + package + "\"");
  int listedUnderNew = 0;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 30000;) {
    if (HWND window = MainWindowOfProcess(program.process.dwProcessId)) {
      // The rows first: the title read after them must already name the file.
      LRESULT rows = SendMessageA(GetDlgItem(window, IDC_ANIMATION_LIST), LVM_GETITEMCOUNT, 0, 0);
      char title[256] = {};
      GetWindowTextA(window, title, sizeof title);
      if (rows > 0 && std::string(title) == "new - Zelcor Animation Manager") ++listedUnderNew;
      if (std::string(title) == "e2e walk.ifp - Zelcor Animation Manager" && IsWindowVisible(window)) {
        program.window = window;
        break;
      }
    }
    Sleep(1);
  }
  ASSERT_NE(program.window, nullptr) << "no window with the document's title";
  EXPECT_EQ(listedUnderNew, 0) << "the title lagged behind the lists";
  EXPECT_EQ(SendMessageA(GetDlgItem(program.window, IDC_ANIMATION_LIST), LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_LT(CloseProgram(program), 300u) << "the window stayed on the screen";
}

// Started by its bare name from its own folder, as "wine Program.exe" does,
// the program still keeps its settings beside itself.
TEST_F(EndToEnd, SettingsBesideTheProgramWhenStartedByBareName) {
  ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), Path("ZelcorAnimManager.exe").c_str(), FALSE));
  Started program = Launch(Path("ZelcorAnimManager.exe"), "ZelcorAnimManager.exe");
  program.window = WaitForWindow("new - Zelcor Animation Manager", 30000);
  ASSERT_NE(program.window, nullptr);
  PostMessageA(program.window, WM_COMMAND, ID_PREVIEW_SHOW_AXIS, 0);
  CloseProgram(program);
  EXPECT_EQ(Setting("Preview", "ShowAxis"), "0");
}

}  // namespace
}  // namespace zam::test
