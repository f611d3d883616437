#include "views/win32/key_grid.h"

#include "platform/win32/unique_objects.h"
#include "platform/win32/list_view.h"

namespace zam {
namespace {

constexpr UINT_PTR kKeyGridSubclass = 1;
constexpr UINT_PTR kAlignmentSubclass = 3;
constexpr UINT_PTR kHeaderSubclass = 4;
constexpr COLORREF kHeaderKeyColor = RGB(64, 64, 64);
constexpr COLORREF kOutlineColor = RGB(0, 0, 0);
constexpr COLORREF kPlayHeadColor = RGB(255, 0, 0);
// The header draws its boxes this much further right than the rows do.
constexpr int kHeaderBoxShift = 2;

// A vertical line at `x` from `top` to `bottom`.
void DrawPlayHead(HDC dc, int x, int top, int bottom) {
  win32::UniquePen pen(CreatePen(PS_SOLID, 1, kPlayHeadColor));
  win32::SelectedObject usePen(dc, pen.get());
  MoveToEx(dc, x, top, nullptr);
  LineTo(dc, x, bottom);
}

// The current key's box framed twice in the system's highlight colour.
void DrawCurrentKey(HDC dc, int left, int top, int right, int bottom) {
  win32::UniquePen pen(CreatePen(PS_INSIDEFRAME, 2, GetSysColor(COLOR_HIGHLIGHT)));
  win32::SelectedObject usePen(dc, pen.get());
  win32::SelectedObject useBrush(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, left - 2, top - 1, right + 2, bottom + 1);
}

// Where the time line's column starts in the grid's client area; it moves
// with the horizontal scroll.
int TimeLineOrigin(const KeyGridView& view) {
  RECT header{};
  SendMessageA(list::Header(view.grid), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&header));
  return header.left;
}

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
  const Animation* animation = view.source.shownAnimation();
  if (draw.dwDrawStage == CDDS_POSTPAINT && animation) {
    int items = static_cast<int>(SendMessageA(draw.hdr.hwndFrom, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < items; ++i) {
      RECT rect{};
      SendMessageA(draw.hdr.hwndFrom, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
      PaintHeaderKeys(view, *animation, draw.hdc, rect);
    }
    RECT timeLine{};
    SendMessageA(draw.hdr.hwndFrom, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&timeLine));
    const int x = timeLine.left + kHeaderBoxShift + KeyPixel(view.source.marks().playHead, view.scale);
    DrawPlayHead(draw.hdc, x, timeLine.top, timeLine.bottom);
  }
  return CDRF_DODEFAULT;
}

// A right-drag up or down narrows or widens the time line, keeping the
// frame at the left edge where it was.
void Zoom(KeyGridView& view, int dy) {
  const Animation* animation = view.source.shownAnimation();
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

// A left click on a row: its key under the mouse, or the frame there.
void OnRowClick(KeyGridView& view, LPARAM position) {
  SetFocus(view.grid);
  const Animation* animation = view.source.shownAnimation();
  LVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  const int row = static_cast<int>(SendMessageA(view.grid, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!animation || row < 0 || row >= animation->boneCount()) return;
  RECT label{};
  label.left = LVIR_LABEL;
  SendMessageA(view.grid, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label));
  const int x = hit.pt.x - label.left;
  KeyGridEvent event{KeyGridEvent::Kind::PlaceClicked};
  event.row = row;
  event.key = KeyAtPixel(animation->bones[static_cast<size_t>(row)], x, view.scale);
  event.frame = FrameAtPixel(x, view.scale);
  if (event.key >= 0) event.kind = KeyGridEvent::Kind::KeyClicked;
  view.source.onEvent(event);
}

// A left click on the header moves the play head to the frame there.
LRESULT CALLBACK HeaderProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  if (message != WM_LBUTTONDOWN) return DefSubclassProc(header, message, wParam, lParam);
  KeyGridView& view = *reinterpret_cast<KeyGridView*>(data);
  RECT timeLine{};
  SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&timeLine));
  KeyGridEvent event{KeyGridEvent::Kind::HeaderClicked};
  event.frame = FrameAtPixel(static_cast<short>(LOWORD(lParam)) - timeLine.left - kHeaderBoxShift, view.scale);
  if (view.source.shownAnimation()) view.source.onEvent(event);
  return 0;
}

LRESULT CALLBACK KeyGridProc(HWND grid, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  KeyGridView& view = *reinterpret_cast<KeyGridView*>(data);
  // The grid's own clicks and arrow keys would select and scroll its rows;
  // here they choose keys.
  if (message == WM_LBUTTONDOWN) {
    OnRowClick(view, lParam);
    return 0;
  }
  if (message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN)) {
    KeyGridEvent event{KeyGridEvent::Kind::ArrowKey};
    event.virtualKey = static_cast<UINT>(wParam);
    view.source.onEvent(event);
    return 0;
  }
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

// The height of one row of a report list of the owner's rows in its own
// font, measured on a row counted for the purpose (the list may be empty).
int MeasureRowHeight(HWND list) {
  const int rows = list::RowCount(list);
  if (rows == 0) SendMessageA(list, LVM_SETITEMCOUNT, 1, 0);
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  if (rows == 0) SendMessageA(list, LVM_SETITEMCOUNT, 0, 0);
  return row.bottom - row.top;
}

}  // namespace

void SetupKeyGrid(KeyGridView& view, HWND grid, HWND bones, KeyGridSource source) {
  view.grid = grid;
  view.bones = bones;
  view.source = std::move(source);
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
  SetWindowSubclass(list::Header(grid), HeaderProc, kHeaderSubclass, reinterpret_cast<DWORD_PTR>(&view));
  for (HWND list : {grid, bones}) {
    SetWindowSubclass(list, AlignmentProc, kAlignmentSubclass, reinterpret_cast<DWORD_PTR>(&view));
  }
}

// The grid's rows hold nothing (LVS_OWNERDATA): each is drawn from its track.
void RebuildKeyGrid(KeyGridView& view) {
  const Animation* animation = view.source.shownAnimation();
  SetTimeColumn(view, animation ? AnimationLength(*animation) : 0.0f);
  SendMessageA(view.grid, LVM_SETITEMCOUNT, animation ? animation->boneCount() : 0, 0);
  SendMessageA(view.grid, LVM_ENSUREVISIBLE, 0, FALSE);
  RepaintKeyGrid(view);
  view.topRowMark = 0;
}

void ClearKeyGrid(KeyGridView& view) {
  SendMessageA(view.grid, LVM_SETITEMCOUNT, 0, 0);
  InvalidateRect(view.grid, nullptr, TRUE);
  view.topRowMark = 0;
}

void MovePlayHeadLine(KeyGridView& view) {
  const int pixel = KeyPixel(view.source.marks().playHead, view.scale);
  if (pixel == view.playHeadPixel) return;
  const int origin = TimeLineOrigin(view);
  RECT client{};
  GetClientRect(view.grid, &client);
  HWND header = list::Header(view.grid);
  for (int x : {view.playHeadPixel, pixel}) {
    if (x < 0) continue;
    // The rows' drawing area, like the header's boxes, starts that much right of the column.
    RECT column{origin + kHeaderBoxShift + x - 2, client.top, origin + kHeaderBoxShift + x + 3, client.bottom};
    InvalidateRect(view.grid, &column, FALSE);
    InvalidateRect(header, &column, FALSE);
  }
  view.playHeadPixel = pixel;
}

void RepaintKeyGrid(const KeyGridView& view) {
  InvalidateRect(view.grid, nullptr, TRUE);
  InvalidateRect(list::Header(view.grid), nullptr, TRUE);
}

void FitKeyGridToAnimation(KeyGridView& view) {
  const Animation* animation = view.source.shownAnimation();
  SetTimeColumn(view, animation ? AnimationLength(*animation) : 0.0f);
  InvalidateRect(view.grid, nullptr, TRUE);
}

void PaintKeyGridRow(const KeyGridView& view, const DRAWITEMSTRUCT* item) {
  const Animation* animation = view.source.shownAnimation();
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
  const KeyGridMarks marks = view.source.marks();
  if (marks.currentTrack == static_cast<int>(item->itemID) && marks.currentKey >= 0 &&
      marks.currentKey < track.keyCount()) {
    int p = KeyPixel(track.keys[static_cast<size_t>(marks.currentKey)].time, view.scale);
    DrawCurrentKey(item->hDC, rect.left + p - 1, rect.top + 1, rect.left + p + static_cast<int>(view.scale),
                   rect.bottom - 1);
  }
  DrawPlayHead(item->hDC, rect.left + KeyPixel(marks.playHead, view.scale), rect.top, rect.bottom);
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
