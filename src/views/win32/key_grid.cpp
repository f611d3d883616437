#include "views/win32/key_grid.h"

#include "app/win32/editor_state.h"
#include "resource.h"
#include "views/key_grid_geometry.h"
#include "views/win32/list_view.h"

namespace zam {
namespace {

const Animation* CurrentAnimation() {
  EditorState& editor = Editor();
  if (editor.currentAnimation < 0 || editor.currentAnimation >= editor.package.animationCount()) return nullptr;
  return &editor.package.animations[editor.currentAnimation];
}

void SetTimeColumn(HWND grid, float lengthSeconds) {
  SendMessageA(grid, LVM_DELETECOLUMN, 1, 0);
  list::InsertColumn(grid, 1, "", KeyGridColumnWidth(lengthSeconds, Editor().keyGridScale), LVCFMT_LEFT);
}

// Every key of every track as a dark grey box along a header item.
void PaintHeaderKeys(HDC dc, const RECT& rect) {
  const Animation* animation = CurrentAnimation();
  if (!animation) return;
  int scale = static_cast<int>(Editor().keyGridScale);
  HBRUSH brush = CreateSolidBrush(RGB(64, 64, 64));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  for (const BoneTrack& track : animation->bones) {
    for (const KeyFrame& key : track.keys) {
      int p = KeyPixel(key.time, Editor().keyGridScale);
      Rectangle(dc, rect.left + p + 1, rect.top + 1, rect.left + p + scale + 2, rect.bottom - 3);
    }
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

// The keys go over the header once its items are drawn. Some header
// implementations (Wine's among them) send no per-item post-paint stage, so
// the boxes are drawn item by item at the header's own post-paint stage.
LRESULT OnHeaderCustomDraw(const NMCUSTOMDRAW& draw) {
  if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
  if (draw.dwDrawStage == CDDS_POSTPAINT) {
    int items = static_cast<int>(SendMessageA(draw.hdr.hwndFrom, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < items; ++i) {
      RECT rect{};
      SendMessageA(draw.hdr.hwndFrom, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
      PaintHeaderKeys(draw.hdc, rect);
    }
  }
  return CDRF_DODEFAULT;
}

// A right-drag up or down narrows or widens the time line, keeping the
// frame at the left edge where it was.
void Zoom(HWND grid, int dy) {
  const Animation* animation = CurrentAnimation();
  if (!animation) return;  // the width needs an animation's length
  EditorState& editor = Editor();
  int scroll = GetScrollPos(grid, SB_HORZ);
  float oldScale = editor.keyGridScale;
  editor.keyGridScale = ZoomedKeyGridScale(oldScale, dy);
  SetTimeColumn(grid, AnimationLength(*animation));
  int target = ScrollKeepingLeftFrame(scroll, oldScale, editor.keyGridScale);
  SendMessageA(grid, LVM_SCROLL, target - GetScrollPos(grid, SB_HORZ), 0);
  FitBoneListToKeyGrid();
}

}  // namespace

void RebuildKeyGrid(const Animation& animation) {
  HWND grid = Control(IDC_KEY_GRID);
  SetTimeColumn(grid, AnimationLength(animation));
  SendMessageA(grid, LVM_DELETEALLITEMS, 0, 0);
  for (int t = 0; t < animation.boneCount(); ++t) list::AppendRow(grid, "");
  Editor().topRowMark = 0;
}

void ClearKeyGrid() {
  SendMessageA(Control(IDC_KEY_GRID), LVM_DELETEALLITEMS, 0, 0);
  Editor().topRowMark = 0;
}

void PaintKeyGridRow(const DRAWITEMSTRUCT* item) {
  const Animation* animation = CurrentAnimation();
  if (!animation || item->itemID >= static_cast<UINT>(animation->boneCount())) return;
  const BoneTrack& track = animation->bones[item->itemID];
  float scale = Editor().keyGridScale;
  // With the zero-width first column, the label area starts at the row's scrolled left edge.
  RECT label{};
  label.left = LVIR_LABEL;
  SendMessageA(item->hwndItem, LVM_GETITEMRECT, item->itemID, reinterpret_cast<LPARAM>(&label));
  RECT rect = item->rcItem;
  rect.left = label.left;

  int saved = SaveDC(item->hDC);
  HBRUSH brush = CreateSolidBrush(TrackColor(track.boneId));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  SelectObject(item->hDC, brush);
  SelectObject(item->hDC, pen);
  for (const KeyFrame& key : track.keys) {
    int p = KeyPixel(key.time, scale);
    Rectangle(item->hDC, rect.left + p - 1, rect.top + 1, rect.left + p + static_cast<int>(scale), rect.bottom - 1);
  }
  RestoreDC(item->hDC, saved);
  DeleteObject(brush);
  DeleteObject(pen);
}

void FitBoneListToKeyGrid() {
  bool scrollBar = (GetWindowLongPtrA(Control(IDC_KEY_GRID), GWL_STYLE) & WS_HSCROLL) != 0;
  int h = scrollBar ? GetSystemMetrics(SM_CYHSCROLL) : 0;
  SetWindowPos(Control(IDC_BONE_LIST), nullptr, 0, 0, 150, 203 - h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AlignRows(HWND leader) {
  EditorState& editor = Editor();
  HWND bones = Control(IDC_BONE_LIST);
  HWND grid = Control(IDC_KEY_GRID);
  HWND follower = leader == bones ? grid : bones;
  int top = static_cast<int>(SendMessageA(leader, LVM_GETTOPINDEX, 0, 0));
  // The follower's own alignment, run by the scrolling below, stops here
  // because it is disabled meanwhile. The follower is scrolled by rows: the
  // bone list has no scroll bars, so scroll-bar requests would not move it.
  if (top == editor.topRowMark || !IsWindowEnabled(leader)) return;
  EnableWindow(follower, FALSE);
  LockWindowUpdate(editor.window);
  editor.topRowMark = top;
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(follower, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  int followerTop = static_cast<int>(SendMessageA(follower, LVM_GETTOPINDEX, 0, 0));
  SendMessageA(follower, LVM_SCROLL, 0, (top - followerTop) * (row.bottom - row.top));
  LockWindowUpdate(nullptr);
  EnableWindow(follower, TRUE);
}

bool MovesRows(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_VSCROLL;
}

LRESULT CALLBACK KeyGridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam) {
  EditorState& editor = Editor();
  if (message == WM_NOTIFY) {
    if (list::IsRefusedHeaderNotification(grid, lParam)) return 1;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == NM_CUSTOMDRAW && header->hwndFrom == list::Header(grid)) {
      return OnHeaderCustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
    }
  }
  if (message == WM_MOUSEMOVE) {
    short y = static_cast<short>(HIWORD(lParam));
    short dy = static_cast<short>(y - editor.lastKeyGridMouseY);
    if (!(wParam & MK_LBUTTON) && (wParam & MK_RBUTTON) && dy != 0) Zoom(grid, dy);
    editor.lastKeyGridMouseY = y;
  }
  if (MovesRows(message)) AlignRows(grid);
  return CallWindowProcA(editor.keyGridProc, grid, message, wParam, lParam);
}

void OnKeyGridNotify(const NMHDR* header) {
  if (header->code == LVN_ITEMCHANGED) AlignRows(header->hwndFrom);
}

}  // namespace zam
