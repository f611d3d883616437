#include "app/win32/file_commands.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "anim/ifp_writer.h"
#include "app/win32/document_actions.h"
#include "app/win32/editor_state.h"
#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "browser/img_archive.h"
#include "platform/file_system.h"
#include "platform/temp_file.h"

namespace zam {
namespace {

// Description and pattern, each ending in a zero, and a final zero.
constexpr char kIfpFilter[] = "Zelcor:HV IFP (*.ifp)\0*.ifp\0";

OPENFILENAMEA FileDialog(char* path, DWORD flags) {
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = Editor().window;
  dialog.lpstrFilter = kIfpFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = static_cast<DWORD>(kMaxPathBytes);
  dialog.Flags = flags;
  return dialog;
}

void ShowError(const char* text) { ShowMessage(Editor().window, text, MB_OK | MB_ICONHAND); }

// A file another program holds open for writing, or one that is missing,
// cannot take the save.
bool CanOpenForWriting(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

// The main package as the bytes of its layout; shows the message and
// returns false for a package in neither layout, which must not replace a file.
bool SerializeMainPackage(std::vector<uint8_t>& bytes) {
  if (WriteIfp(Editor().package, bytes) == IfpWriteStatus::Ok) return true;
  ShowError(msg::kUnknownFormat);
  return false;
}

// Writes the package into a new file beside the target and renames it over
// the target, so a failed save leaves the old file as it was.
bool WritePackageFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!SerializeMainPackage(bytes)) return false;
  if (ReplaceFileAtomically(path, bytes) != FileStatus::Ok) {
    ShowError(msg::kFileCannotOpen);
    return false;
  }
  return true;
}

// Writes the package into a temporary file and from there back into its
// archive entry. The document stays modified unless the entry was written.
void SaveIntoArchiveEntry() {
  std::vector<uint8_t> bytes;
  if (!SerializeMainPackage(bytes)) return;
  TempFile temp = TempFile::Create("ifp");
  if (!temp.IsOpen() || !temp.file().Write(bytes.data(), bytes.size())) {
    ShowError(msg::kFileCannotOpen);
    return;
  }
  const DocumentState& document = Editor().document;
  // The write-back deletes the package file itself.
  switch (WriteBackImgEntry(document.documentArchive, document.documentName, temp.Release())) {
    case ImgWriteBackResult::Written:
      SetTitle(false);
      break;
    case ImgWriteBackResult::ArchiveCannotOpen:
      ShowError(msg::kFileCannotOpen);
      break;
    case ImgWriteBackResult::NothingWritten:
      break;
    case ImgWriteBackResult::WriteFailed:
      ShowError(msg::kArchiveUnchanged);
      break;
    case ImgWriteBackResult::NotRestored:
      ShowError(msg::kArchiveNotRestored);
      break;
  }
}

}  // namespace

void OpenCommand() {
  char path[kMaxPathBytes] = {};
  OPENFILENAMEA dialog = FileDialog(path, OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
  if (!Prompts().GetOpenFileNameA(&dialog)) return;
  if (!DiscardMainPackage()) return;
  OpenDocumentFile(path);
}

void SaveCommand() {
  EditorState& editor = Editor();
  if (editor.document.documentName.empty()) {
    SaveAsCommand();
    return;
  }
  if (editor.document.documentArchive.empty()) {
    std::string path = DocumentFilePath(editor.document);
    if (!CanOpenForWriting(path)) {
      ShowError(msg::kFileCannotOpen);
      return;
    }
    if (WritePackageFile(path)) SetTitle(false);
    return;
  }
  SaveIntoArchiveEntry();
}

void SaveAsCommand() {
  char path[kMaxPathBytes] = {};
  OPENFILENAMEA dialog = FileDialog(path, OFN_HIDEREADONLY);
  dialog.lpstrDefExt = "ifp";
  if (!Prompts().GetSaveFileNameA(&dialog)) return;
  if (!WritePackageFile(path)) return;
  SetDocumentFromPath(Editor().document, path);
  SetTitle(false);
}

void AboutCommand() {
  ShowMessage(Editor().window,
              "Zelcor Animation Manager 0.20\n\n"
              "Edits IFP animation packages; keep copies of the game files you change.",
              MB_OK | MB_ICONINFORMATION);
}

}  // namespace zam
