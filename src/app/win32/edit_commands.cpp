#include "app/win32/edit_commands.h"

#include <windows.h>
#include <commctrl.h>

#include "anim/package_edits.h"
#include "anim/win32/remove_trans_key_dialog.h"
#include "app/win32/document_actions.h"
#include "app/win32/editor_views.h"
#include "resource.h"
#include "views/win32/list_view.h"

namespace zam {
namespace {

void EditFirstSelected(HWND list) {
  int row = list::NextSelected(list, -1);
  if (row < 0) return;
  SetFocus(list);
  SendMessageA(list, LVM_EDITLABELA, row, 0);
}

}  // namespace

void CopyAnimationsCommand(EditorState& editor) {
  HWND list = editor.Control(IDC_ANIMATION_LIST);
  // Copies are appended unselected, so each row selected now is copied once.
  for (int row = list::NextSelected(list, -1); row >= 0; row = list::NextSelected(list, row)) {
    int copy = AppendAnimationCopy(editor.package, row);
    if (copy < 0) continue;
    AppendAnimationRow(list, editor.package.animations[static_cast<size_t>(copy)]);
    MarkModified(editor);
  }
}

void RenameAnimationCommand(EditorState& editor) { EditFirstSelected(editor.Control(IDC_ANIMATION_LIST)); }

void DeleteAnimationsCommand(EditorState& editor) {
  HWND list = editor.Control(IDC_ANIMATION_LIST);
  for (int row = list::NextSelected(list, -1); row >= 0; row = list::NextSelected(list, -1)) {
    RemoveAnimation(editor.package, row);
    // The current animation keeps being shown under its new index; when it
    // is the one deleted, nothing is shown any more.
    bool wasCurrent = editor.currentAnimation == row;
    editor.currentAnimation = CurrentAfterRemoval(editor.currentAnimation, row);
    SendMessageA(list, LVM_DELETEITEM, row, 0);
    if (wasCurrent) {
      FillBoneList(editor.Control(IDC_BONE_LIST), nullptr);
      ClearKeyGrid(editor.keyGrid);
    }
    MarkModified(editor);
  }
}

void RemoveTransKeyCommand(EditorState& editor) {
  std::vector<int> selected = list::SelectedRows(editor.Control(IDC_ANIMATION_LIST));
  if (RunRemoveTransKeyDialog(editor.window, editor.package, selected) == 0) return;
  // The bone list's Type column shows the new key types.
  RefreshBoneView(editor);
  MarkModified(editor);
}

void RenameBoneCommand(EditorState& editor) {
  if (editor.CurrentAnimation()) EditFirstSelected(editor.Control(IDC_BONE_LIST));
}

void DeleteBonesCommand(EditorState& editor) {
  Animation* animation = editor.CurrentAnimation();
  if (!animation) return;
  HWND bones = editor.Control(IDC_BONE_LIST);
  for (int row = list::NextSelected(bones, -1); row >= 0; row = list::NextSelected(bones, -1)) {
    RemoveTrack(*animation, row);
    SendMessageA(bones, LVM_DELETEITEM, row, 0);
    // The key grid loses the same row, so it never draws a track that is gone.
    SendMessageA(editor.keyGrid.grid, LVM_DELETEITEM, row, 0);
    MarkModified(editor);
  }
}

void SetKeyTypeCommand(EditorState& editor, uint32_t keyType) {
  Animation* animation = editor.CurrentAnimation();
  if (!animation) return;
  HWND bones = editor.Control(IDC_BONE_LIST);
  for (int row = list::NextSelected(bones, -1); row >= 0; row = list::NextSelected(bones, row)) {
    if (row >= animation->boneCount()) continue;
    animation->bones[static_cast<size_t>(row)].keyType = keyType;
    SetBoneKeyType(bones, row, keyType);
    MarkModified(editor);
  }
}

}  // namespace zam
