#pragma once
// The one seam between the program and the modal prompts it shows: message
// boxes and the common file and colour dialogs. The program uses the real
// ones; a test installs its own answers and records what was asked.

#include <windows.h>
#include <commdlg.h>

namespace zam {

class UiPrompts {
 public:
  virtual ~UiPrompts() = default;
  virtual int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) = 0;
  virtual BOOL GetOpenFileNameA(OPENFILENAMEA* dialog) = 0;
  virtual BOOL GetSaveFileNameA(OPENFILENAMEA* dialog) = 0;
  virtual BOOL ChooseColorA(CHOOSECOLORA* dialog) = 0;
};

// The prompts in use; the system's own unless a test replaced them.
UiPrompts& Prompts();
// Installs `prompts` (nullptr restores the system's own).
void SetPrompts(UiPrompts* prompts);

// A message box of the program: owned by `owner`, captioned with the
// program's name.
int ShowMessage(HWND owner, const char* text, UINT type);

// The settings of a file dialog owned by `owner` with one `filter` (the
// first chosen) and `path` as its buffer of kMaxPathBytes bytes.
OPENFILENAMEA FileDialogSettings(HWND owner, const char* filter, char* path, DWORD flags);

}  // namespace zam
