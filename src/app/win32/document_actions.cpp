#include "app/win32/document_actions.h"

#include <cstdio>
#include <vector>

#include "anim/ifp_reader.h"
#include "app/win32/editor_views.h"
#include "app/win32/playback_controls.h"
#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "platform/file_system.h"

namespace zam {

void SetTitle(EditorState& editor, bool modified) {
  editor.document.modified = modified;
  SetWindowTextA(editor.window, DocumentTitle(editor.document).c_str());
}

bool MayLoseChanges(EditorState& editor) {
  return !editor.document.modified ||
         ShowMessage(editor.window, msg::kDiscardQuestion, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

bool DiscardMainPackage(EditorState& editor) {
  if (!MayLoseChanges(editor)) return false;
  StopPlayback(editor);
  ReleasePackage(editor.package);
  ClearDocument(editor.document);
  SetTitle(editor, false);
  // The views must not go on listing animations that no longer exist.
  editor.currentAnimation = -1;
  RefreshPackageView(editor);
  RefreshBoneView(editor);
  return true;
}

PackageReadOutcome ReadPackageIntoMain(EditorState& editor, const std::string& path) {
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(path, bytes) != FileStatus::Ok) {
    ShowMessage(editor.window, msg::kFileCannotOpen, MB_OK | MB_ICONHAND);
    return PackageReadOutcome::CannotOpen;
  }
  IfpReadStatus status = ReadIfp(bytes.data(), bytes.size(), editor.package);
  if (status == IfpReadStatus::UnknownFormat) {
    ShowMessage(editor.window, msg::kUnknownFormat, MB_OK | MB_ICONHAND);
    return PackageReadOutcome::UnknownFormat;
  }
  editor.currentAnimation = -1;
  RefreshPackageView(editor);
  RefreshBoneView(editor);
  if (status == IfpReadStatus::Truncated) {
    char text[160];
    std::snprintf(text, sizeof text, msg::kFileEndedEarly, editor.package.animationCount());
    ShowMessage(editor.window, text, MB_OK | MB_ICONEXCLAMATION);
  }
  return PackageReadOutcome::Read;
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
