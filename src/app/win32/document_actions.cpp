#include "app/win32/document_actions.h"

#include <vector>

#include "anim/ifp_reader.h"
#include "app/win32/editor_state.h"
#include "app/win32/playback_controls.h"
#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "platform/file_system.h"
#include "views/win32/package_views.h"

namespace zam {

void SetTitle(bool modified) {
  EditorState& editor = Editor();
  editor.document.modified = modified;
  SetWindowTextA(editor.window, DocumentTitle(editor.document).c_str());
}

bool DiscardMainPackage() {
  EditorState& editor = Editor();
  if (editor.document.modified &&
      ShowMessage(editor.window, msg::kDiscardQuestion, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
    return false;
  }
  StopPlayback();
  ReleasePackage(editor.package);
  ClearDocument(editor.document);
  SetTitle(false);
  // The views must not go on listing animations that no longer exist.
  editor.currentAnimation = -1;
  RefreshPackageView();
  RefreshBoneView();
  return true;
}

PackageReadOutcome ReadPackageIntoMain(const std::string& path) {
  EditorState& editor = Editor();
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(path, bytes) != FileStatus::Ok) {
    ShowMessage(editor.window, msg::kFileCannotOpen, MB_OK | MB_ICONHAND);
    return PackageReadOutcome::CannotOpen;
  }
  // A truncated file is shown as far as it goes.
  if (ReadIfp(bytes.data(), bytes.size(), editor.package) == IfpReadStatus::UnknownFormat) {
    ShowMessage(editor.window, msg::kUnknownFormat, MB_OK | MB_ICONHAND);
    return PackageReadOutcome::UnknownFormat;
  }
  editor.currentAnimation = -1;
  RefreshPackageView();
  RefreshBoneView();
  return PackageReadOutcome::Read;
}

bool OpenDocumentFile(const std::string& path) {
  // Only a package that was read becomes the document: saving over a file
  // that is not a package, or could not be read, would destroy it.
  if (ReadPackageIntoMain(path) != PackageReadOutcome::Read) return false;
  SetDocumentFromPath(Editor().document, path);
  SetTitle(false);
  return true;
}

}  // namespace zam
