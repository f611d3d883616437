#pragma once
// The one seam between the program and the modal prompts it shows: message
// boxes and the common file and colour dialogs. The program uses the real
// ones; a test installs its own answers and records what was asked.

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>

#include "base/messages.h"

namespace zam {

class UiPrompts {
 public:
  virtual ~UiPrompts() = default;
  virtual int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) = 0;
  virtual BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) = 0;
  virtual BOOL GetSaveFileNameW(OPENFILENAMEW* dialog) = 0;
  virtual BOOL ChooseColorW(CHOOSECOLORW* dialog) = 0;
};

// The prompts in use; the system's own unless a test replaced them.
UiPrompts& Prompts();
// Installs `prompts` (nullptr restores the system's own).
void SetPrompts(UiPrompts* prompts);

// The program's message box for `message`, owned by `owner` and captioned
// with the program's name, with the icon and buttons the message calls for;
// `number` fills the messages that show one, and `below` follows on the next
// lines. Returns the button pressed.
int ShowMessage(HWND owner, Message message, int number = 0, const std::wstring& below = {});

// The question before unsaved changes are lost: true when the user agrees.
bool AgreesToLoseChanges(HWND owner);

enum class FileKind { Package, Model };

// The file dialogs, with the kind's filter, starting in `folder`; nothing
// when cancelled. Paths are UTF-8. Opening asks for an existing folder;
// saving adds ".ifp" to a name without an extension and asks before
// replacing an existing file.
std::optional<std::string> ChooseFileToOpen(HWND owner, FileKind kind, const std::string& folder);
std::optional<std::string> ChoosePackageToSave(HWND owner, const std::string& folder);
// The open-file dialog for a file of any kind to add to an archive.
std::optional<std::string> ChooseFileToImport(HWND owner, const std::string& folder);
// The save dialog for a binary glTF file (".glb").
std::optional<std::string> ChooseGltfToSave(HWND owner, const std::string& folder);

// The colour dialog starting at `color` (0xRRGGBB); nothing when cancelled.
std::optional<uint32_t> ChooseColor(HWND owner, uint32_t color);

}  // namespace zam
