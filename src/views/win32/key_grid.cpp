#include "views/win32/key_grid.h"

#include "platform/win32/unique_objects.h"
#include "platform/win32/list_view.h"

namespace zam {
namespace {

constexpr UINT_PTR kKeyGridSubclass = 1;
constexpr UINT_PTR kAlignmentSubclass = 3;
constexpr COLORREF kHeaderKeyColor = RGB(64, 64, 64);
constexpr COLORREF kOutlineColor = RGB(0, 0, 0);

void SetTimeColumn(const KeyGridView& view, float lengthSeconds) {
  SendMessageA(view.grid, LVM_DELETECOLUMN, 1, 0);
  list::InsertColumn(view.grid, 1, "", KeyGridColumnWidth(lengthSeconds, view.scale), LVCFMT_LEFT);
}

// Every key of every track as a dark grey box along a header item.
void PaintHeaderKeys(const KeyGridView& view, const Animation& animation, HDC dc, const RECT& rect) {
  win32::UniqueBrush brush(CreateSolidBrush(kHeaderKeyColor));
  win32::UniquePen pen(CreatePen(PS_SOLID, 1, kOutlineColor));
  win32::SelectedObject useBrush(dc, brush.get());
  win32::SelectedObject usePen(dc, pen.get());
  int width = static_cast<int>(view.scale);
  for (const BoneTrack& track : animation.bones) {
    for (const KeyFrame& key : track.keys) {
      int p = KeyPixel(key.time, view.scale);
      Rectangle(dc, rect.left + p + 1, rect.top + 1, rect.left + p + width + 2, rect.bottom - 3);
    }
  }
}

// The keys go over the header once its items are drawn. Some header
// implementations (Wine's among them) send no per-item post-paint stage, so
// the boxes are drawn item by item at the header's own post-paint stage.
LRESULT OnHeaderCustomDraw(const KeyGridView& view, const NMCUSTOMDRAW& draw) {
  if (draw.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
  const Animation* animation = view.shownAnimation();
  if (draw.dwDrawStage == CDDS_POSTPAINT && animation) {
    int items = static_cast<int>(SendMessageA(draw.hdr.hwndFrom, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < items; ++i) {
      RECT rect{};
      SendMessageA(draw.hdr.hwndFrom, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
      PaintHeaderKeys(view, *animation, draw.hdc, rect);
    }
  }
  return CDRF_DODEFAULT;
}

// A right-drag up or down narrows or widens the time line, keeping the
// frame at the left edge where it was.
void Zoom(KeyGridView& view, int dy) {
  const Animation* animation = view.shownAnimation();
  if (!animation) return;  // the width needs an animation's length
  int scroll = GetScrollPos(view.grid, SB_HORZ);
  float oldScale = view.scale;
  view.scale = ZoomedKeyGridScale(oldScale, dy);
  SetTimeColumn(view, AnimationLength(*animation));
  int target = ScrollKeepingLeftFrame(scroll, oldScale, view.scale);
  SendMessageA(view.grid, LVM_SCROLL, target - GetScrollPos(view.grid, SB_HORZ), 0);
  FitBoneListToKeyGrid(view);
  // A time line that now fits drops the scroll bar, and the list repaints
  // only what the bar covered.
  InvalidateRect(view.grid, nullptr, TRUE);
}

// Messages that can move a list's rows: keys, the mouse (the wheel among
// them) and scroll-bar requests.
bool MovesRows(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_VSCROLL;
}

LRESULT CALLBACK KeyGridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  KeyGridView& view = *reinterpret_cast<KeyGridView*>(data);
  if (message == WM_NOTIFY) {
    if (list::IsRefusedHeaderNotification(grid, lParam)) return 1;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == NM_CUSTOMDRAW && header->hwndFrom == list::Header(grid)) {
      return OnHeaderCustomDraw(view, *reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
    }
  }
  if (message == WM_MOUSEMOVE) {
    short y = static_cast<short>(HIWORD(lParam));
    short dy = static_cast<short>(y - view.lastMouseY);
    if (!(wParam & MK_LBUTTON) && (wParam & MK_RBUTTON) && dy != 0) Zoom(view, dy);
    view.lastMouseY = y;
  }
  LRESULT result = DefSubclassProc(grid, message, wParam, lParam);
  // The rows' height changes with the scroll bar, which the list shows and
  // hides as it sees fit: the bone list follows whenever it happens.
  if (message == WM_SIZE) {
    FitBoneListToKeyGrid(view);
    AlignBoneListWithKeyGrid(view);
  }
  return result;
}

// Both lists align the other one after they handled a message that may have
// moved their rows, so a wheel turn in either list moves both at once.
LRESULT CALLBACK AlignmentProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  LRESULT result = DefSubclassProc(list, message, wParam, lParam);
  if (MovesRows(message)) AlignRows(*reinterpret_cast<KeyGridView*>(data), list);
  return result;
}

// The height of one row of a report list in its own font, measured on a row
// added for the purpose (the list may be empty).
int MeasureRowHeight(HWND list) {
  bool added = list::RowCount(list) == 0;
  if (added) list::AppendRow(list, "");
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  if (added) SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  return row.bottom - row.top;
}

}  // namespace

void SetupKeyGrid(KeyGridView& view, HWND grid, HWND bones, std::function<const Animation*()> shownAnimation) {
  view.grid = grid;
  view.bones = bones;
  view.shownAnimation = std::move(shownAnimation);
  // A zero-width first column makes every row's drawing area start at its left edge.
  list::InsertColumn(grid, 0, "", 0, LVCFMT_LEFT);
  // Owner-drawn rows take the height their owner answers when asked, which
  // a list view does again whenever its size changes: a size one pixel off
  // and back makes it ask now.
  int height = MeasureRowHeight(bones);
  if (height > 0) view.rowHeight = height;
  RECT rect;
  GetWindowRect(grid, &rect);
  for (int shrink : {1, 0}) {
    SetWindowPos(grid, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top - shrink,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetWindowSubclass(grid, KeyGridProc, kKeyGridSubclass, reinterpret_cast<DWORD_PTR>(&view));
  for (HWND list : {grid, bones}) {
    SetWindowSubclass(list, AlignmentProc, kAlignmentSubclass, reinterpret_cast<DWORD_PTR>(&view));
  }
}

void RebuildKeyGrid(KeyGridView& view) {
  const Animation* animation = view.shownAnimation();
  SetTimeColumn(view, animation ? AnimationLength(*animation) : 0.0f);
  SendMessageA(view.grid, LVM_DELETEALLITEMS, 0, 0);
  if (animation) {
    for (int t = 0; t < animation->boneCount(); ++t) list::AppendRow(view.grid, "");
  }
  view.topRowMark = 0;
}

void ClearKeyGrid(KeyGridView& view) {
  SendMessageA(view.grid, LVM_DELETEALLITEMS, 0, 0);
  view.topRowMark = 0;
}

void FitKeyGridToAnimation(KeyGridView& view) {
  const Animation* animation = view.shownAnimation();
  SetTimeColumn(view, animation ? AnimationLength(*animation) : 0.0f);
  InvalidateRect(view.grid, nullptr, TRUE);
}

void PaintKeyGridRow(const KeyGridView& view, const DRAWITEMSTRUCT* item) {
  const Animation* animation = view.shownAnimation();
  if (!animation || item->itemID >= static_cast<UINT>(animation->boneCount())) return;
  const BoneTrack& track = animation->bones[item->itemID];
  // With the zero-width first column, the label area starts at the row's scrolled left edge.
  RECT label{};
  label.left = LVIR_LABEL;
  SendMessageA(item->hwndItem, LVM_GETITEMRECT, item->itemID, reinterpret_cast<LPARAM>(&label));
  RECT rect = item->rcItem;
  rect.left = label.left;

  int saved = SaveDC(item->hDC);
  {
    win32::UniqueBrush brush(CreateSolidBrush(TrackColor(track.boneId)));
    win32::UniquePen pen(CreatePen(PS_SOLID, 1, kOutlineColor));
    win32::SelectedObject useBrush(item->hDC, brush.get());
    win32::SelectedObject usePen(item->hDC, pen.get());
    int width = static_cast<int>(view.scale);
    for (const KeyFrame& key : track.keys) {
      int p = KeyPixel(key.time, view.scale);
      Rectangle(item->hDC, rect.left + p - 1, rect.top + 1, rect.left + p + width, rect.bottom - 1);
    }
  }
  RestoreDC(item->hDC, saved);
}

// The grid's rows end above its scroll bar when it shows one: the bone list
// ends there too, so that both show the same rows.
void FitBoneListToKeyGrid(const KeyGridView& view) {
  RECT gridClient{}, bonesWindow{}, bonesClient{};
  GetClientRect(view.grid, &gridClient);
  GetWindowRect(view.bones, &bonesWindow);
  GetClientRect(view.bones, &bonesClient);
  const int frame = (bonesWindow.bottom - bonesWindow.top) - bonesClient.bottom;
  SetWindowPos(view.bones, nullptr, 0, 0, 150, gridClient.bottom + frame, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void AlignRows(KeyGridView& view, HWND leader) {
  // The follower's own alignment, run by the scrolling below, stops here.
  if (view.aligning) return;
  int top = static_cast<int>(SendMessageA(leader, LVM_GETTOPINDEX, 0, 0));
  if (top == view.topRowMark) return;
  HWND follower = leader == view.bones ? view.grid : view.bones;
  view.aligning = true;
  view.topRowMark = top;
  // Scrolled by rows: the bone list has no scroll bars, so scroll-bar
  // requests would not move it. It is repainted whole once in place.
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(follower, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  int followerTop = static_cast<int>(SendMessageA(follower, LVM_GETTOPINDEX, 0, 0));
  SendMessageA(follower, WM_SETREDRAW, FALSE, 0);
  SendMessageA(follower, LVM_SCROLL, 0, (top - followerTop) * (row.bottom - row.top));
  SendMessageA(follower, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(follower, nullptr, TRUE);
  view.aligning = false;
}

void AlignBoneListWithKeyGrid(KeyGridView& view) {
  view.topRowMark = -1;
  AlignRows(view, view.grid);
}

}  // namespace zam
