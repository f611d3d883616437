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
