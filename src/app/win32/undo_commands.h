#pragma once
// Undo and redo in the main window: the changes one command makes to the
// package become one step of the editor's history, and undoing or redoing a
// step brings back the lists, their selection, the current animation and the
// modified mark with the package.

#include "anim/edit_history.h"
#include "app/win32/editor_state.h"

namespace zam {

// Records the changes of one command, made while it exists, as one step; on
// leaving it closes the step and shows the modified mark. Nothing is
// recorded when nothing changed.
class DocumentEdit {
 public:
  explicit DocumentEdit(EditorState& editor, StepKind kind = StepKind::Edit);
  ~DocumentEdit();
  DocumentEdit(const DocumentEdit&) = delete;
  DocumentEdit& operator=(const DocumentEdit&) = delete;

  EditHistory& history() { return editor_.history; }
  // The command counts as a change even though it recorded none.
  void MarkChanged() { changed_ = true; }

 private:
  EditorState& editor_;
  StepKind kind_;
  EditSelection before_;
  bool changed_ = false;
};

// The IFP menu's Undo and Redo (and their keys); nothing when there is no step.
void UndoCommand(EditorState& editor);
void RedoCommand(EditorState& editor);

}  // namespace zam
