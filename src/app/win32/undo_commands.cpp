#include "app/win32/undo_commands.h"

#include <commctrl.h>

#include <optional>

#include "app/win32/document_actions.h"
#include "app/win32/editor_views.h"
#include "resource.h"
#include "views/win32/list_view.h"

namespace zam {
namespace {

EditSelection SelectionOf(const EditorState& editor) {
  return {editor.currentAnimation, list::SelectedRows(editor.Control(IDC_ANIMATION_LIST)),
          list::SelectedRows(editor.Control(IDC_BONE_LIST))};
}

// Selects `rows` of `list`; `focused` also gets the focus and is scrolled to.
void SelectRows(HWND list, const std::vector<int>& rows, int focused) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  for (int row : rows) {
    if (row < 0 || row >= list::RowCount(list)) continue;
    item.state = row == focused ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  if (focused >= 0) SendMessageA(list, LVM_ENSUREVISIBLE, focused, FALSE);
}

// The package is as the step left or found it: the views follow. The
// current animation is set before its row is selected again, so the row
// does not make itself current by the animation list's rule.
void ShowStepped(EditorState& editor, const EditSelection& selection) {
  RefreshPackageView(editor);
  editor.currentAnimation = AnimationAt(editor.package, selection.currentAnimation) ? selection.currentAnimation : -1;
  std::vector<int> rows = selection.animations;
  if (editor.currentAnimation >= 0) rows.push_back(editor.currentAnimation);
  SelectRows(editor.Control(IDC_ANIMATION_LIST), rows, editor.currentAnimation);
  RefreshBoneView(editor);
  SelectRows(editor.Control(IDC_BONE_LIST), selection.tracks, -1);
  SetTitle(editor, editor.history.HasUnsavedChanges());
}

}  // namespace

DocumentEdit::DocumentEdit(EditorState& editor, StepKind kind)
    : editor_(editor), kind_(kind), before_(SelectionOf(editor)) {}

DocumentEdit::~DocumentEdit() {
  if (!changed_ && !editor_.history.HasPendingChanges()) return;
  editor_.history.EndStep(kind_, std::move(before_), SelectionOf(editor_));
  SetTitle(editor_, editor_.history.HasUnsavedChanges());
}

void UndoCommand(EditorState& editor) {
  if (std::optional<EditSelection> shown = editor.history.Undo(editor.package)) ShowStepped(editor, *shown);
}

void RedoCommand(EditorState& editor) {
  if (std::optional<EditSelection> shown = editor.history.Redo(editor.package)) ShowStepped(editor, *shown);
}

}  // namespace zam
