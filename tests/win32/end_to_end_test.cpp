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

  // Runs `program` (with `command` as its command line) in the test's
  // folder and waits for a window titled `title`.
  Started StartProgram(const std::string& program, std::string command, const char* title) {
    Started started;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    EXPECT_TRUE(CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(),
                               &startup, &started.process))
        << GetLastError();
    started.window = WaitForWindow(title, 30000);
    return started;
  }

  // Closes the program's window and expects it to end with exit code 0.
  void CloseProgram(Started& started) {
    PostMessageA(started.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(started.process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(started.process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    CloseHandle(started.process.hThread);
    CloseHandle(started.process.hProcess);
  }
};

TEST_F(EndToEnd, ProgramOpensItsCommandLinePackageAndClosesWithoutAsking) {
  std::string package = WritePackage("e2e walk.ifp", TestPackage(kFormatANP3, 3));
  Started program = StartProgram(ProgramPath(), "\"" + ProgramPath() + "\" \"" + package + "\"",
                                 "e2e walk.ifp - Zelcor Animation Manager");
  ASSERT_NE(program.window, nullptr) << "no window with the document's title";
  // What the rows show is read in-process by the main window tests.
  EXPECT_EQ(SendMessageA(GetDlgItem(program.window, IDC_ANIMATION_LIST), LVM_GETITEMCOUNT, 0, 0), 3);
  CloseProgram(program);
}

// Started by its bare name from its own folder, as "wine Program.exe" does,
// the program still keeps its settings beside itself.
TEST_F(EndToEnd, SettingsBesideTheProgramWhenStartedByBareName) {
  ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), Path("ZelcorAnimManager.exe").c_str(), FALSE));
  Started program =
      StartProgram(Path("ZelcorAnimManager.exe"), "ZelcorAnimManager.exe", "new - Zelcor Animation Manager");
  ASSERT_NE(program.window, nullptr);
  PostMessageA(program.window, WM_COMMAND, ID_PREVIEW_SHOW_AXIS, 0);
  CloseProgram(program);
  EXPECT_EQ(Setting("Preview", "ShowAxis"), "0");
}

}  // namespace
}  // namespace zam::test
