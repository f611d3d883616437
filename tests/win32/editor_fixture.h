#pragma once
// Drives the real main dialog, created from its resource, with real input
// through the system; prompts are answered by the test and recorded.

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "anim/anim_package.h"
#include "app/win32/main_window.h"
#include "app/win32/main_dialog.h"
#include "app/win32/ui_prompts.h"
#include "real_input.h"
#include "support/test_package.h"

namespace zam::test {

// "File cannot open." with the system's reason on a line under it; the
// reason's words differ between Windows and Wine.
inline bool CannotOpenWithReason(const std::string& text) {
  const std::string head = "File cannot open.\n";
  return text.size() > head.size() && text.compare(0, head.size(), head) == 0;
}

class FakePrompts final : public UiPrompts {
 public:
  struct Shown {
    std::string text;  // UTF-8
    std::string caption;
    UINT type;
  };
  struct FileDialog {
    HWND owner;
    std::wstring filter;  // with its zeros, up to the final pair
    DWORD flags;
    std::wstring defaultExtension;
    std::string folder;  // where it starts, UTF-8
  };
  std::vector<Shown> messages;
  std::deque<int> answers;             // message box results; IDOK when empty
  std::deque<std::string> chosenPaths;  // file dialog answers (UTF-8); "" cancels
  std::vector<FileDialog> fileDialogs;
  std::deque<COLORREF> chosenColors;    // colour dialog answers; none left cancels
  std::vector<CHOOSECOLORW> colorDialogs;

  int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override;
  BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) override { return Choose(dialog); }
  BOOL GetSaveFileNameW(OPENFILENAMEW* dialog) override { return Choose(dialog); }
  BOOL ChooseColorW(CHOOSECOLORW* dialog) override;

 private:
  BOOL Choose(OPENFILENAMEW* dialog);
};

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the main dialog as the program would, with these arguments
  // after the executable's path (which places the settings file in `dir_`).
  void Start(const std::vector<std::string>& arguments = {});
  void Close() {
    if (window_) DestroyWindow(window_);
    window_ = nullptr;
  }

  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
  std::string WritePackage(const std::string& name, const AnimPackage& package);
  // The demo in the test's folder: demo.ifp, character.dff/.txd, pistol.dff/.txd.
  void WriteDemoFiles();
  void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
  std::vector<uint8_t> ReadFile(const std::string& path);
  void WriteSettings(const std::string& text) { std::ofstream(Path("ZelcorAnimManager.ini")) << text; }
  // A value of the settings file beside the program; "(none)" when missing.
  std::string Setting(const char* section, const char* key) const;
  // The package saved at `path`, expected to read without a warning.
  AnimPackage ReadPackage(const std::string& path);

  std::string Title() const;
  std::string Text(int id) const;
  HWND Item(int id) const { return GetDlgItem(window_, id); }
  void Command(int id) {
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    Pump();
  }
  void ControlCommand(int id, int notification);
  int Rows(int listId) const { return static_cast<int>(SendMessageA(Item(listId), LVM_GETITEMCOUNT, 0, 0)); }
  std::string Cell(int listId, int row, int column) const;
  std::vector<std::string> Column(int listId, int column = 0) const;
  // A plain click on a row with the mouse (the selection becomes that row)
  // or, with `add`, a Ctrl+click that toggles the row.
  void Click(int listId, int row, bool add = false) {
    ClickRow(listId, row, add ? std::initializer_list<WORD>{VK_CONTROL} : std::initializer_list<WORD>{});
  }
  void ClickRow(int listId, int row, std::initializer_list<WORD> modifiers);
  bool Selected(int listId, int row) const { return SendMessageA(Item(listId), LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0; }
  // A click on a row, F2, the text typed over the name, and `key`
  // (VK_RETURN or VK_ESCAPE) to end the edit.
  void Rename(int listId, int row, const std::string& text, WORD key = VK_RETURN);
  // Keys pressed together through the system, to whatever has the focus.
  void Press(std::initializer_list<WORD> keys);
  // A click at client point `at` of control `id` (or of the window for 0).
  void ClickControl(int id, POINT at, Button button = Button::Left, std::initializer_list<WORD> modifiers = {},
                    int clicks = 1);
  // The client area's pixels as the screen shows them, rows top down.
  static std::vector<uint32_t> Capture(HWND control);
  UINT MenuState(int commandId) const { return GetMenuState(GetMenu(window_), commandId, MF_BYCOMMAND); }
  void Pump();
  // Pumps until the input sent has arrived and been handled.
  void Settle(DWORD milliseconds = 60);

  MainWindow& Main() { return *MainWindowOf(window_); }
  const Editor& Model() { return Main().editor; }
  // The model at `path` loaded and shown; false when it did not load.
  bool LoadModel(ModelRole role, const std::string& path);
  void UnloadModel(ModelRole role);

  FakePrompts prompts_;
  std::string dir_;
  HWND window_ = nullptr;
  StartupArgs args_;
};


}  // namespace zam::test
