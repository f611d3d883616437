#include "views/win32/package_views.h"

#include <algorithm>

#include "app/win32/document_actions.h"
#include "app/win32/editor_state.h"
#include "app/win32/playback_controls.h"
#include "resource.h"
#include "views/win32/key_grid.h"
#include "views/win32/list_view.h"

namespace zam {
namespace {

constexpr int kAnimationPopup = 2;  // "&Animation" in the main menu
constexpr int kBonePopup = 3;       // "&Bone"
constexpr int kMaxTypedName = 23;

std::string Decimal(int value) { return std::to_string(value); }

LRESULT CALLBACK AnimationListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && list::IsRefusedHeaderNotification(list, lParam)) return 1;
  return CallWindowProcA(Editor().animationListProc, list, message, wParam, lParam);
}

LRESULT CALLBACK BoneListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY && list::IsRefusedHeaderNotification(list, lParam)) return 1;
  if (MovesRows(message)) AlignRows(list);
  if (message == WM_NCCALCSIZE) {
    // The bone list scrolls only with the key grid, so it shows no scroll bars of its own.
    LRESULT result = CallWindowProcA(Editor().boneListProc, list, message, wParam, lParam);
    if (GetWindowLongPtrA(list, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) ShowScrollBar(list, SB_BOTH, FALSE);
    return result;
  }
  return CallWindowProcA(Editor().boneListProc, list, message, wParam, lParam);
}

WNDPROC Subclass(HWND list, WNDPROC proc) {
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

void SetRenameEnabled(int popup, HWND list) {
  EnableMenuItem(GetSubMenu(Editor().menu, popup), popup == kAnimationPopup ? ID_ANIM_RENAME : ID_BONE_RENAME,
                 MF_BYCOMMAND | (list::SelectedCount(list) == 1 ? MF_ENABLED : MF_GRAYED));
}

void ShowContextMenu(int popup, HWND list) {
  POINT cursor;
  GetCursorPos(&cursor);
  SetRenameEnabled(popup, list);
  TrackPopupMenu(GetSubMenu(Editor().menu, popup), TPM_LEFTALIGN, cursor.x, cursor.y, 0, Editor().window, nullptr);
}

void OnAnimationSelectionChanged(const NMLISTVIEW* change) {
  EditorState& editor = Editor();
  SetRenameEnabled(kAnimationPopup, Control(IDC_ANIMATION_LIST));
  if (change->iSubItem != 0 || !((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) return;
  bool selected = (change->uNewState & LVIS_SELECTED) != 0;
  bool isCurrent = change->iItem == editor.currentAnimation || change->iItem == -1;  // -1: every row
  if (isCurrent && !selected) {
    editor.currentAnimation = -1;
  } else if (editor.currentAnimation == -1 && selected && change->iItem >= 0 &&
             change->iItem < editor.package.animationCount()) {
    editor.currentAnimation = change->iItem;
    RefreshBoneView();
  }
}

// The edit box is read directly, so the text typed applies however the
// edit ends (Enter, Escape, loss of focus).
std::string EditedLabel() {
  char text[32] = {};
  GetWindowTextA(Editor().labelEdit, text, sizeof text);
  return text;
}

void BeginLabelEdit(HWND list) {
  HWND edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETEDITCONTROL, 0, 0));
  Editor().labelEdit = edit;
  SendMessageA(edit, EM_LIMITTEXT, kMaxTypedName, 0);
}

template <size_t N>
void ApplyRename(char (&field)[N], HWND list, int row, std::string text) {
  text.resize(std::min(text.size(), kMaxNameLength));  // what the name field keeps
  list::SetCell(list, row, 0, text);
  if (text != NameText(field)) MarkModified();
  SetName(field, text);
}

}  // namespace

void SetupPackageViews() {
  EditorState& editor = Editor();
  HWND animations = Control(IDC_ANIMATION_LIST);
  HWND bones = Control(IDC_BONE_LIST);
  HWND grid = Control(IDC_KEY_GRID);
  editor.animationListProc = Subclass(animations, AnimationListProc);
  editor.boneListProc = Subclass(bones, BoneListProc);
  editor.keyGridProc = Subclass(grid, KeyGridProc);
  list::InsertColumn(animations, 0, "Name", 122 - GetSystemMetrics(SM_CXVSCROLL), LVCFMT_LEFT);
  list::InsertColumn(animations, 1, "Time", 40, LVCFMT_RIGHT);
  list::InsertColumn(bones, 0, "Name", 77, LVCFMT_LEFT);
  list::InsertColumn(bones, 1, "B#", 30, LVCFMT_RIGHT);
  list::InsertColumn(bones, 2, "Type", 40, LVCFMT_LEFT);
  SendMessageA(animations, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  SendMessageA(bones, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  // A zero-width first column makes every row's drawing area start at its left edge.
  list::InsertColumn(grid, 0, "", 0, LVCFMT_LEFT);
  // The bone list hides its scroll bars from its first frame calculation on.
  SetWindowPos(bones, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RefreshPackageView() {
  EditorState& editor = Editor();
  const AnimPackage& package = editor.package;
  SetDlgItemTextA(editor.window, IDC_PACKAGE_NAME, NameText(package.name).c_str());
  int layout = package.format == kFormatANPK ? 0 : package.format == kFormatANP3 ? 1 : -1;
  SendDlgItemMessageA(editor.window, IDC_LAYOUT_BOX, CB_SETCURSEL, static_cast<WPARAM>(layout), 0);
  HWND animations = Control(IDC_ANIMATION_LIST);
  SendMessageA(animations, LVM_DELETEALLITEMS, 0, 0);
  for (const Animation& animation : package.animations) {
    int row = list::AppendRow(animations, NameText(animation.name));
    list::SetCell(animations, row, 1, Decimal(AnimationLengthFrames(animation)));
  }
  StopPlayback();
  SetDlgItemTextA(editor.window, IDC_CURRENT_FRAME, "0.00");
  SetDlgItemTextA(editor.window, IDC_FRAME_COUNT, "0.00");
  SendDlgItemMessageA(editor.window, IDC_TIME_BAR, TBM_SETPOS, TRUE, 0);
}

void RefreshBoneView() {
  EditorState& editor = Editor();
  HWND bones = Control(IDC_BONE_LIST);
  SendMessageA(bones, LVM_DELETEALLITEMS, 0, 0);
  // With no animation current the key grid keeps its rows; they paint empty.
  if (editor.currentAnimation < 0 || editor.currentAnimation >= editor.package.animationCount()) return;
  const Animation& animation = editor.package.animations[editor.currentAnimation];
  for (const BoneTrack& track : animation.bones) {
    int row = list::AppendRow(bones, NameText(track.name));
    list::SetCell(bones, row, 1, Decimal(track.boneId));
    list::SetCell(bones, row, 2, FourCCText(track.keyType));
  }
  RebuildKeyGrid(animation);
  editor.currentTime = 0.0f;
  int frames = AnimationLengthFrames(animation);
  SetDlgItemTextA(editor.window, IDC_CURRENT_FRAME, "0");
  SetDlgItemTextA(editor.window, IDC_FRAME_COUNT, Decimal(frames).c_str());
  SendDlgItemMessageA(editor.window, IDC_TIME_BAR, TBM_SETRANGEMIN, FALSE, 0);
  SendDlgItemMessageA(editor.window, IDC_TIME_BAR, TBM_SETRANGEMAX, TRUE, frames);
  SendDlgItemMessageA(editor.window, IDC_TIME_BAR, TBM_SETTICFREQ, 60, 0);
  SendDlgItemMessageA(editor.window, IDC_TIME_BAR, TBM_SETPOS, TRUE, 0);
  FitBoneListToKeyGrid();
}

namespace {

// The context menu and the start of a label edit work alike in both lists;
// true when the notification was one of those.
bool OnCommonListNotify(const NMHDR* header, int popup) {
  switch (header->code) {
    case NM_RCLICK:
      ShowContextMenu(popup, header->hwndFrom);
      return true;
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW:
      BeginLabelEdit(header->hwndFrom);
      return true;
    default:
      return false;
  }
}

}  // namespace

void OnAnimationListNotify(const NMHDR* header) {
  EditorState& editor = Editor();
  HWND list = header->hwndFrom;
  if (OnCommonListNotify(header, kAnimationPopup)) return;
  switch (header->code) {
    case LVN_ITEMCHANGED:
      OnAnimationSelectionChanged(reinterpret_cast<const NMLISTVIEW*>(header));
      break;
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW: {
      int row = reinterpret_cast<const NMLVDISPINFOA*>(header)->item.iItem;
      if (row >= 0 && row < editor.package.animationCount()) {
        Animation& animation = editor.package.animations[row];
        ApplyRename(animation.name, list, row, EditedLabel());
      }
      break;
    }
  }
}

void OnBoneListNotify(const NMHDR* header) {
  EditorState& editor = Editor();
  HWND list = header->hwndFrom;
  if (OnCommonListNotify(header, kBonePopup)) return;
  switch (header->code) {
    case LVN_ITEMCHANGED:
      AlignRows(list);
      break;
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW: {
      // With no current animation the listed tracks may belong to an
      // animation that is no longer shown: nothing is renamed then.
      int row = reinterpret_cast<const NMLVDISPINFOA*>(header)->item.iItem;
      if (editor.currentAnimation < 0 || editor.currentAnimation >= editor.package.animationCount()) break;
      Animation& animation = editor.package.animations[editor.currentAnimation];
      if (row >= 0 && row < animation.boneCount()) ApplyRename(animation.bones[row].name, list, row, EditedLabel());
      break;
    }
  }
}

}  // namespace zam
