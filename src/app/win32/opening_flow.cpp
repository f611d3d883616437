#include "app/win32/opening_flow.h"

#include "app/win32/document_actions.h"
#include "app/win32/editor_views.h"
#include "app/win32/playback_controls.h"
#include "app/win32/preview_view.h"
#include "app/win32/undo_commands.h"
#include "preview/win32/opening_option_dialog.h"
#include "resource.h"

namespace zam {
namespace {

// The document took `merged` from `incoming`, which holds what was replaced;
// when the current animation was among those replaced, its old tracks are
// gone and the bone list and key grid follow.
void OnMerged(EditorState& editor, AnimPackage& incoming, const std::vector<MergedAnimation>& merged) {
  {
    DocumentEdit edit(editor);
    for (const MergedAnimation& taken : merged) {
      Animation* replaced = taken.replaced ? AnimationAt(incoming, taken.incoming) : nullptr;
      if (replaced) edit.history().AnimationChanged(editor.package, taken.document, std::move(*replaced));
      if (!taken.replaced) edit.history().AnimationInserted(editor.package, taken.document);
    }
  }
  for (const MergedAnimation& taken : merged) {
    if (taken.document == editor.currentAnimation) {
      RefreshBoneView(editor);
      break;
    }
  }
}

}  // namespace

int RunOpeningOption(EditorState& editor, const std::string& path, const std::string& archive,
                     const std::string& entry) {
  // Read aside: the document and its current animation change only through
  // what the dialog takes. A file that is not a package has nothing to offer.
  AnimPackage incoming{};
  bool cut = false;
  if (ReadPackageFile(editor, path, incoming, cut) != PackageReadOutcome::Read) return kOpeningSkipped;
  if (cut) ShowEndedEarly(editor, incoming);
  // The dialog's preview moves the shared play head: the main window's
  // playback would move it as well, twice as fast.
  StopPlayback(editor);
  OpeningOptionContext context{path,
                               entry,
                               editor.package,
                               incoming,
                               editor.Control(IDC_ANIMATION_LIST),
                               editor.playHead.currentTime,
                               editor.camera,
                               [&editor] { return DiscardMainPackage(editor); },
                               [&editor, &incoming](const std::vector<MergedAnimation>& merged) {
                                 OnMerged(editor, incoming, merged);
                               },
                               [&editor](HWND area) { ResetPreview(editor, area); },
                               [&editor, &incoming](HWND area, int animation) {
                                 RenderPreviewInto(editor, area, incoming, animation);
                               }};
  INT_PTR result = RunOpeningOptionDialog(editor.window, context);
  if (result == kOpeningOpened) {
    if (archive.empty()) {
      SetDocumentFromPath(editor.document, path);
    } else {
      SetDocumentFromArchiveEntry(editor.document, archive, entry);
    }
    SetTitle(editor, false);
    editor.currentAnimation = -1;
    RefreshPackageView(editor);
    RefreshBoneView(editor);
  }
  return static_cast<int>(result);
}

void RunOpeningOptions(EditorState& editor, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (RunOpeningOption(editor, path) == kOpeningSkipAll) break;
  }
  // Frames go to the main window's preview again, at its size.
  ResetPreview(editor, editor.Control(IDC_PREVIEW));
  RenderPreview(editor);
}

void OnDropFiles(EditorState& editor, HDROP drop) {
  std::vector<std::string> paths;
  UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    char path[MAX_PATH] = {};
    if (DragQueryFileA(drop, i, path, sizeof path) > 0) paths.emplace_back(path);
  }
  RunOpeningOptions(editor, paths);
  DragFinish(drop);
}

}  // namespace zam
