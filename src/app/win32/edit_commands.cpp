#include "app/win32/edit_commands.h"

#include <windows.h>
#include <commctrl.h>

#include "anim/package_edits.h"
#include "anim/win32/remove_trans_key_dialog.h"
#include "app/win32/document_actions.h"
#include "app/win32/editor_state.h"
#include "resource.h"
#include "views/win32/key_grid.h"
#include "views/win32/list_view.h"

namespace zam {
namespace {

Animation* CurrentAnimation() {
  EditorState& editor = Editor();
  if (editor.currentAnimation < 0 || editor.currentAnimation >= editor.package.animationCount()) return nullptr;
  return &editor.package.animations[editor.currentAnimation];
}

void EditFirstSelected(HWND list) {
  int row = list::NextSelected(list, -1);
  if (row < 0) return;
  SetFocus(list);
  SendMessageA(list, LVM_EDITLABELA, row, 0);
}

}  // namespace

void CopyAnimationsCommand() {
  EditorState& editor = Editor();
  HWND list = Control(IDC_ANIMATION_LIST);
  // Copies are appended unselected, so each row selected now is copied once.
  for (int row = list::NextSelected(list, -1); row >= 0; row = list::NextSelected(list, row)) {
    int copy = AppendAnimationCopy(editor.package, row);
    if (copy < 0) continue;
    const Animation& animation = editor.package.animations[copy];
    int newRow = list::AppendRow(list, NameText(animation.name));
    list::SetCell(list, newRow, 1, std::to_string(AnimationLengthFrames(animation)));
    MarkModified();
  }
}

void RenameAnimationCommand() { EditFirstSelected(Control(IDC_ANIMATION_LIST)); }

void DeleteAnimationsCommand() {
  EditorState& editor = Editor();
  HWND list = Control(IDC_ANIMATION_LIST);
  for (int row = list::NextSelected(list, -1); row >= 0; row = list::NextSelected(list, -1)) {
    RemoveAnimation(editor.package, row);
    // The current animation keeps being shown under its new index; when it
    // is the one deleted, nothing is shown any more.
    bool wasCurrent = editor.currentAnimation == row;
    editor.currentAnimation = CurrentAfterRemoval(editor.currentAnimation, row);
    SendMessageA(list, LVM_DELETEITEM, row, 0);
    if (wasCurrent) {
      SendMessageA(Control(IDC_BONE_LIST), LVM_DELETEALLITEMS, 0, 0);
      ClearKeyGrid();
    }
    MarkModified();
  }
}

void RemoveTransKeyCommand() {
  if (RunRemoveTransKeyDialog(Editor().window) != 0) MarkModified();
}

void RenameBoneCommand() {
  if (CurrentAnimation()) EditFirstSelected(Control(IDC_BONE_LIST));
}

void DeleteBonesCommand() {
  Animation* animation = CurrentAnimation();
  if (!animation) return;
  HWND bones = Control(IDC_BONE_LIST);
  HWND grid = Control(IDC_KEY_GRID);
  for (int row = list::NextSelected(bones, -1); row >= 0; row = list::NextSelected(bones, -1)) {
    RemoveTrack(*animation, row);
    SendMessageA(bones, LVM_DELETEITEM, row, 0);
    // The key grid loses the same row, so it never draws a track that is gone.
    SendMessageA(grid, LVM_DELETEITEM, row, 0);
    MarkModified();
  }
}

void SetKeyTypeCommand(uint32_t keyType) {
  Animation* animation = CurrentAnimation();
  if (!animation) return;
  HWND bones = Control(IDC_BONE_LIST);
  for (int row = list::NextSelected(bones, -1); row >= 0; row = list::NextSelected(bones, row)) {
    if (row >= animation->boneCount()) continue;
    animation->bones[row].keyType = keyType;
    list::SetCell(bones, row, 2, FourCCText(keyType));
    MarkModified();
  }
}

}  // namespace zam
