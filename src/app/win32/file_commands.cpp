#include "app/win32/file_commands.h"

#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "anim/ifp_writer.h"
#include "app/win32/document_actions.h"
#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "img/img_archive.h"
#include "platform/file_system.h"
#include "platform/temp_file.h"

namespace zam {
namespace {

void ShowError(const EditorState& editor, const char* text) { ShowMessage(editor.window, text, MB_OK | MB_ICONHAND); }

// A file another program holds open for writing, or one that is missing,
// cannot take the save.
bool CanOpenForWriting(const std::string& path) {
  win32::UniqueHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(file);
}

// The main package as the bytes of its layout; shows the message and
// returns false for a package in neither layout, which must not replace a file.
bool SerializeMainPackage(const EditorState& editor, std::vector<uint8_t>& bytes) {
  if (WriteIfp(editor.package, bytes) == IfpWriteStatus::Ok) return true;
  ShowError(editor, msg::kUnknownFormat);
  return false;
}

// Writes the package into a new file beside the target and renames it over
// the target, so a failed save leaves the old file as it was.
bool WritePackageFile(const EditorState& editor, const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!SerializeMainPackage(editor, bytes)) return false;
  if (ReplaceFileAtomically(path, bytes) != FileStatus::Ok) {
    ShowError(editor, msg::kFileCannotOpen);
    return false;
  }
  return true;
}

// Writes the package into a temporary file and from there back into its
// archive entry. The document stays modified unless the entry was written.
void SaveIntoArchiveEntry(EditorState& editor) {
  std::vector<uint8_t> bytes;
  if (!SerializeMainPackage(editor, bytes)) return;
  TempFile temp = TempFile::Create("ifp");
  if (!temp.IsOpen() || !temp.file().Write(bytes.data(), bytes.size())) {
    ShowError(editor, msg::kFileCannotOpen);
    return;
  }
  const DocumentState& document = editor.document;
  // The write-back deletes the package file itself.
  switch (WriteBackImgEntry(document.documentArchive, document.documentName, temp.Release())) {
    case ImgWriteBackResult::Written:
      MarkSaved(editor);
      break;
    case ImgWriteBackResult::ArchiveCannotOpen:
      ShowError(editor, msg::kFileCannotOpen);
      break;
    case ImgWriteBackResult::NothingWritten:
      break;
    case ImgWriteBackResult::WriteFailed:
      ShowError(editor, msg::kArchiveUnchanged);
      break;
    case ImgWriteBackResult::NotRestored:
      ShowError(editor, msg::kArchiveNotRestored);
      break;
  }
}

}  // namespace

void OpenCommand(EditorState& editor) {
  char path[kMaxPathBytes] = {};
  OPENFILENAMEA dialog = FileDialogSettings(editor.window, msg::kIfpFilter, path, OFN_PATHMUSTEXIST | OFN_HIDEREADONLY);
  if (!Prompts().GetOpenFileNameA(&dialog)) return;
  if (!DiscardMainPackage(editor)) return;
  OpenDocumentFile(editor, path);
}

void SaveCommand(EditorState& editor) {
  if (editor.document.documentName.empty()) {
    SaveAsCommand(editor);
    return;
  }
  if (editor.document.documentArchive.empty()) {
    std::string path = DocumentFilePath(editor.document);
    if (!CanOpenForWriting(path)) {
      ShowError(editor, msg::kFileCannotOpen);
      return;
    }
    if (WritePackageFile(editor, path)) MarkSaved(editor);
    return;
  }
  SaveIntoArchiveEntry(editor);
}

void SaveAsCommand(EditorState& editor) {
  char path[kMaxPathBytes] = {};
  OPENFILENAMEA dialog = FileDialogSettings(editor.window, msg::kIfpFilter, path, OFN_HIDEREADONLY);
  dialog.lpstrDefExt = "ifp";
  if (!Prompts().GetSaveFileNameA(&dialog)) return;
  if (!WritePackageFile(editor, path)) return;
  SetDocumentFromPath(editor.document, path);
  MarkSaved(editor);
}

void AboutCommand(EditorState& editor) { ShowMessage(editor.window, msg::kAbout, MB_OK | MB_ICONINFORMATION); }

}  // namespace zam
