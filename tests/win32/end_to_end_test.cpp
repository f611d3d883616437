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

// Reads a list view cell of another process through memory allocated in it.
std::string RemoteCell(HANDLE process, HWND list, int row, int column) {
  struct Block {
    LVITEMA item;
    char text[64];
  };
  auto* remote = static_cast<Block*>(VirtualAllocEx(process, nullptr, sizeof(Block), MEM_COMMIT, PAGE_READWRITE));
  Block block{};
  block.item.iSubItem = column;
  block.item.pszText = remote->text;
  block.item.cchTextMax = sizeof block.text;
  WriteProcessMemory(process, remote, &block, sizeof block, nullptr);
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&remote->item));
  ReadProcessMemory(process, remote, &block, sizeof block, nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return block.text;
}

class EndToEnd : public EditorTest {};

TEST_F(EndToEnd, ProgramOpensItsCommandLinePackageAndClosesWithoutAsking) {
  std::string package = WritePackage("e2e walk.ifp", TestPackage(kFormatANP3, 3));
  std::string command = "\"" + ProgramPath() + "\" \"" + package + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(), &startup,
                             &process))
      << GetLastError();
  HWND window = WaitForWindow("e2e walk.ifp - Zelcor Animation Manager", 30000);
  ASSERT_NE(window, nullptr) << "no window with the document's title";
  HWND list = GetDlgItem(window, IDC_ANIMATION_LIST);
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(RemoteCell(process.hProcess, list, 1, 0), "anim1");
  EXPECT_EQ(RemoteCell(process.hProcess, list, 1, 1), "150");

  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
}  // namespace zam::test
