#include "app/win32/edit_commands.h"

#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "anim/package_edits.h"
#include "anim/win32/remove_trans_key_dialog.h"
#include "app/win32/editor_views.h"
#include "app/win32/undo_commands.h"
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
  DocumentEdit edit(editor);
  // Copies are appended unselected, so each row selected now is copied once.
  for (int row = list::NextSelected(list, -1); row >= 0; row = list::NextSelected(list, row)) {
    int copy = AppendAnimationCopy(editor.package, row);
    if (copy < 0) continue;
    edit.history().AnimationInserted(editor.package, copy);
    AppendAnimationRow(list, editor.package.animations[static_cast<size_t>(copy)]);
  }
}

void RenameAnimationCommand(EditorState& editor) { EditFirstSelected(editor.Control(IDC_ANIMATION_LIST)); }

void DeleteAnimationsCommand(EditorState& editor) {
  HWND list = editor.Control(IDC_ANIMATION_LIST);
  DocumentEdit edit(editor);
  for (int row = list::NextSelected(list, -1); row >= 0; row = list::NextSelected(list, -1)) {
    edit.history().RemoveAnimation(editor.package, row);
    // The current animation keeps being shown under its new index; when it
    // is the one deleted, nothing is shown any more.
    bool wasCurrent = editor.currentAnimation == row;
    editor.currentAnimation = CurrentAfterRemoval(editor.currentAnimation, row);
    SendMessageA(list, LVM_DELETEITEM, row, 0);
    if (wasCurrent) {
      FillBoneList(editor.Control(IDC_BONE_LIST), nullptr);
      ClearKeyGrid(editor.keyGrid);
    }
  }
}

void RemoveTransKeyCommand(EditorState& editor) {
  std::vector<int> selected = list::SelectedRows(editor.Control(IDC_ANIMATION_LIST));
  // The dialog changes the selected animations in place: their copies undo it.
  std::vector<std::pair<int, Animation>> before;
  for (int row : selected) {
    if (const Animation* animation = AnimationAt(editor.package, row)) before.emplace_back(row, *animation);
  }
  if (RunRemoveTransKeyDialog(editor.window, editor.package, selected) == 0) return;
  DocumentEdit edit(editor);
  edit.MarkChanged();  // even with no bone ticked
  for (auto& [row, animation] : before) edit.history().AnimationChanged(editor.package, row, std::move(animation));
  // The bone list's Type column shows the new key types.
  RefreshBoneView(editor);
}

void RenameBoneCommand(EditorState& editor) {
  if (editor.CurrentAnimation()) EditFirstSelected(editor.Control(IDC_BONE_LIST));
}

void DeleteBonesCommand(EditorState& editor) {
  Animation* animation = editor.CurrentAnimation();
  if (!animation) return;
  HWND bones = editor.Control(IDC_BONE_LIST);
  DocumentEdit edit(editor);
  for (int row = list::NextSelected(bones, -1); row >= 0; row = list::NextSelected(bones, -1)) {
    edit.history().RemoveTrack(editor.package, editor.currentAnimation, row);
    SendMessageA(bones, LVM_DELETEITEM, row, 0);
    // The key grid loses the same row, so it never draws a track that is gone.
    SendMessageA(editor.keyGrid.grid, LVM_DELETEITEM, row, 0);
  }
}

void SetKeyTypeCommand(EditorState& editor, uint32_t keyType) {
  Animation* animation = editor.CurrentAnimation();
  if (!animation) return;
  HWND bones = editor.Control(IDC_BONE_LIST);
  DocumentEdit edit(editor);
  for (int row = list::NextSelected(bones, -1); row >= 0; row = list::NextSelected(bones, row)) {
    if (row >= animation->boneCount()) continue;
    BoneTrack& track = animation->bones[static_cast<size_t>(row)];
    BoneTrack before = track;
    track.keyType = keyType;
    edit.history().TrackChanged(editor.package, editor.currentAnimation, row, std::move(before));
    SetBoneKeyType(bones, row, keyType);
  }
}

}  // namespace zam
