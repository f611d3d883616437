#include "app/win32/document_actions.h"

#include <cstdio>
#include <vector>

#include "anim/ifp_reader.h"
#include "app/win32/editor_views.h"
#include "app/win32/playback_controls.h"
#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "platform/file_system.h"
#include "resource.h"

namespace zam {

void SetTitle(EditorState& editor, bool modified) {
  editor.document.modified = modified;
  SetWindowTextA(editor.window, DocumentTitle(editor.document).c_str());
  // Every change of the history ends with a new title.
  EnableMenuItem(editor.menu, ID_EDIT_UNDO, MF_BYCOMMAND | (editor.history.CanUndo() ? MF_ENABLED : MF_GRAYED));
  EnableMenuItem(editor.menu, ID_EDIT_REDO, MF_BYCOMMAND | (editor.history.CanRedo() ? MF_ENABLED : MF_GRAYED));
}

void MarkSaved(EditorState& editor) {
  editor.history.MarkSaved();
  SetTitle(editor, false);
}

bool MayLoseChanges(EditorState& editor) {
  return !editor.document.modified ||
         ShowMessage(editor.window, msg::kDiscardQuestion, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

bool DiscardMainPackage(EditorState& editor) {
  if (!MayLoseChanges(editor)) return false;
  StopPlayback(editor);
  ReleasePackage(editor.package);
  editor.history.Clear();
  ClearDocument(editor.document);
  SetTitle(editor, false);
  // The views must not go on listing animations that no longer exist.
  editor.currentAnimation = -1;
  RefreshPackageView(editor);
  RefreshBoneView(editor);
  return true;
}

PackageReadOutcome ReadPackageFile(EditorState& editor, const std::string& path, AnimPackage& package, bool& cut) {
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(path, bytes) != FileStatus::Ok) {
    ShowMessage(editor.window, msg::kFileCannotOpen, MB_OK | MB_ICONHAND);
    return PackageReadOutcome::CannotOpen;
  }
  IfpReadStatus status = ReadIfp(bytes.data(), bytes.size(), package);
  if (status == IfpReadStatus::UnknownFormat) {
    ShowMessage(editor.window, msg::kUnknownFormat, MB_OK | MB_ICONHAND);
    return PackageReadOutcome::UnknownFormat;
  }
  cut = status == IfpReadStatus::Truncated;
  return PackageReadOutcome::Read;
}

void ShowEndedEarly(EditorState& editor, const AnimPackage& package) {
  char text[160];
  std::snprintf(text, sizeof text, msg::kFileEndedEarly, package.animationCount());
  ShowMessage(editor.window, text, MB_OK | MB_ICONEXCLAMATION);
}

PackageReadOutcome ReadPackageIntoMain(EditorState& editor, const std::string& path) {
  bool cut = false;
  PackageReadOutcome outcome = ReadPackageFile(editor, path, editor.package, cut);
  if (outcome != PackageReadOutcome::Read) return outcome;
  editor.history.Clear();
  editor.currentAnimation = -1;
  RefreshPackageView(editor);
  RefreshBoneView(editor);
  if (cut) ShowEndedEarly(editor, editor.package);
  return outcome;
}

bool OpenDocumentFile(EditorState& editor, const std::string& path) {
  // Only a package that was read becomes the document: saving over a file
  // that is not a package, or could not be read, would destroy it.
  if (ReadPackageIntoMain(editor, path) != PackageReadOutcome::Read) return false;
  SetDocumentFromPath(editor.document, path);
  SetTitle(editor, false);
  return true;
}

}  // namespace zam
