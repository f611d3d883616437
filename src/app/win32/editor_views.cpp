#include "app/win32/editor_views.h"

#include "app/win32/playback_controls.h"
#include "app/win32/preview_view.h"
#include "app/win32/undo_commands.h"
#include "resource.h"
#include "views/current_animation.h"
#include "views/win32/list_view.h"

namespace zam {
namespace {

void ShowContextMenu(const EditorState& editor, int popup, HWND list) {
  POINT cursor;
  GetCursorPos(&cursor);
  SetRenameEnabled(editor, popup, list);
  TrackPopupMenu(GetSubMenu(editor.menu, popup), TPM_LEFTALIGN, cursor.x, cursor.y, 0, editor.window, nullptr);
}

void SetTimeDisplays(const EditorState& editor, const char* current, int frameCount) {
  SetDlgItemTextA(editor.window, IDC_CURRENT_FRAME, current);
  SetDlgItemTextA(editor.window, IDC_FRAME_COUNT, std::to_string(frameCount).c_str());
}

}  // namespace

void RefreshPackageView(EditorState& editor) {
  const AnimPackage& package = editor.package;
  SetDlgItemTextA(editor.window, IDC_PACKAGE_NAME, NameText(package.name).c_str());
  int layout = package.format == kFormatANPK ? 0 : package.format == kFormatANP3 ? 1 : -1;
  SendDlgItemMessageA(editor.window, IDC_LAYOUT_BOX, CB_SETCURSEL, static_cast<WPARAM>(layout), 0);
  FillAnimationList(editor.Control(IDC_ANIMATION_LIST), package);
  StopPlayback(editor);
  SetDlgItemTextA(editor.window, IDC_CURRENT_FRAME, "0.00");
  SetDlgItemTextA(editor.window, IDC_FRAME_COUNT, "0.00");
  SendDlgItemMessageA(editor.window, IDC_TIME_BAR, TBM_SETPOS, TRUE, 0);
}

void RefreshBoneView(EditorState& editor) {
  const Animation* animation = editor.CurrentAnimation();
  // With no animation current the key grid keeps its rows; they paint empty.
  FillBoneList(editor.Control(IDC_BONE_LIST), animation);
  if (!animation) {
    RenderPreview(editor);
    return;
  }
  RebuildKeyGrid(editor.keyGrid);
  RewindPlayHead(editor.playHead);
  int frames = AnimationLengthFrames(*animation);
  SetTimeDisplays(editor, "0", frames);
  HWND timeBar = editor.Control(IDC_TIME_BAR);
  SendMessageA(timeBar, TBM_SETRANGEMIN, FALSE, 0);
  SendMessageA(timeBar, TBM_SETRANGEMAX, TRUE, frames);
  SendMessageA(timeBar, TBM_SETTICFREQ, 60, 0);
  SendMessageA(timeBar, TBM_SETPOS, TRUE, 0);
  FitBoneListToKeyGrid(editor.keyGrid);
  RenderPreview(editor);
}

void SetRenameEnabled(const EditorState& editor, int popup, HWND list) {
  EnableMenuItem(GetSubMenu(editor.menu, popup), popup == kAnimationPopup ? ID_ANIM_RENAME : ID_BONE_RENAME,
                 MF_BYCOMMAND | (list::SelectedCount(list) == 1 ? MF_ENABLED : MF_GRAYED));
}

void OnAnimationListEvent(EditorState& editor, const ListEvent& event) {
  HWND list = editor.Control(IDC_ANIMATION_LIST);
  switch (event.kind) {
    case ListEvent::Kind::ContextMenu:
      ShowContextMenu(editor, kAnimationPopup, list);
      break;
    case ListEvent::Kind::ItemChanged: {
      SetRenameEnabled(editor, kAnimationPopup, list);
      if (!event.selectionChanged) break;
      int before = editor.currentAnimation;
      editor.currentAnimation =
          CurrentAfterSelectionChange(before, event.row, event.selected, editor.package.animationCount());
      // Losing the current animation refreshes nothing: its tracks stay listed.
      if (editor.currentAnimation != before && editor.currentAnimation != -1) RefreshBoneView(editor);
      break;
    }
    case ListEvent::Kind::Renamed:
      if (Animation* animation = AnimationAt(editor.package, event.row)) {
        Animation before = *animation;
        if (Rename(animation->name, event.text)) {
          DocumentEdit edit(editor);
          edit.history().AnimationChanged(editor.package, event.row, std::move(before));
        }
      }
      break;
    case ListEvent::Kind::None:
      break;
  }
}

void OnBoneListEvent(EditorState& editor, const ListEvent& event) {
  HWND list = editor.Control(IDC_BONE_LIST);
  switch (event.kind) {
    case ListEvent::Kind::ContextMenu:
      ShowContextMenu(editor, kBonePopup, list);
      break;
    case ListEvent::Kind::ItemChanged:
      AlignRows(editor.keyGrid, list);
      break;
    case ListEvent::Kind::Renamed: {
      // With no current animation the listed tracks may belong to an
      // animation that is no longer shown: no track is renamed then.
      Animation* animation = editor.CurrentAnimation();
      if (animation && event.row >= 0 && event.row < animation->boneCount()) {
        BoneTrack& track = animation->bones[static_cast<size_t>(event.row)];
        BoneTrack before = track;
        if (Rename(track.name, event.text)) {
          DocumentEdit edit(editor);
          edit.history().TrackChanged(editor.package, editor.currentAnimation, event.row, std::move(before));
        }
      }
      break;
    }
    case ListEvent::Kind::None:
      break;
  }
}

}  // namespace zam
