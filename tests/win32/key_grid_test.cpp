// The key grid: painted boxes read back from the screen, widths, zoom and
// the row alignment with the bone list.

#include "editor_fixture.h"
#include "views/key_grid_geometry.h"
#include "resource.h"

namespace zam::test {
namespace {

class KeyGrid : public EditorTest {
 protected:
  // One animation whose tracks each hold one key at `keyTime` (and a first
  // key at 0), in a window wide enough for the key grid to show frame 31 at
  // 24 pixels a frame (or at its first size).
  void StartWithKeyAt(float keyTime, int tracks = 2, float length = 0.0f, bool wide = true) {
    AnimPackage package = TestPackage(kFormatANPK, 1);
    Animation& animation = package.animations[0];
    animation.bones.resize(static_cast<size_t>(tracks), BoneTrack{});
    for (int t = 0; t < tracks; ++t) {
      BoneTrack& track = animation.bones[t];
      SetName(track.name, "bone" + std::to_string(t));
      track.boneId = t + 1;
      track.keyType = kKeyKR00;
      KeyFrame key{};
      key.time = keyTime;
      track.keys = {key};
      if (length > 0) {
        key.time = length;
        track.keys.push_back(key);
      }
    }
    Start({WritePackage("walk.ifp", package)});
    if (wide) SetWindowPos(window_, HWND_TOP, 0, 0, 1250, 700, SWP_SHOWWINDOW);
    Click(IDC_ANIMATION_LIST, 0);
  }

  void Paint() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
  }

  COLORREF Pixel(HWND control, int x, int y) {
    HDC dc = GetDC(control);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(control, dc);
    return color;
  }

  // The row's bounds, with its left edge at the drawing origin (the left of
  // its label area).
  RECT RowRect(int row) {
    RECT label{};
    label.left = LVIR_LABEL;
    SendMessageA(Item(IDC_KEY_GRID), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label));
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    SendMessageA(Item(IDC_KEY_GRID), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    rect.left = label.left;
    return rect;
  }

  int ColumnWidth() { return static_cast<int>(SendMessageA(Item(IDC_KEY_GRID), LVM_GETCOLUMNWIDTH, 1, 0)); }

  void RightDrag(int fromY, int toY, WPARAM buttons = MK_RBUTTON) {
    SendMessageA(Item(IDC_KEY_GRID), WM_MOUSEMOVE, 0, MAKELPARAM(10, fromY));
    SendMessageA(Item(IDC_KEY_GRID), WM_MOUSEMOVE, buttons, MAKELPARAM(10, toY));
    Pump();
  }

  int TopRow(int id) { return static_cast<int>(SendMessageA(Item(id), LVM_GETTOPINDEX, 0, 0)); }

  int ScreenRowTop(HWND list, int row) {
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    POINT top{rect.left, rect.top};
    ClientToScreen(list, &top);
    return top.y;
  }
};

TEST_F(KeyGrid, KeyBoxesSitAtTheirFrameInTheTrackColour) {
  StartWithKeyAt(0.5f);
  ASSERT_EQ(Main().keyGrid.scale, 24.0f);
  Paint();
  HWND grid = Item(IDC_KEY_GRID);
  RECT row = RowRect(1);
  int y = (row.top + row.bottom) / 2;
  const COLORREF black = RGB(0, 0, 0);
  const COLORREF boneTwo = RGB(77, 135, 81);  // track 1 has bone id 2
  // The box of the key at frame 30 (720 pixels): a black border, the colour inside.
  EXPECT_EQ(Pixel(grid, row.left + 719, y), black);
  EXPECT_EQ(Pixel(grid, row.left + 720, y), boneTwo);
  EXPECT_EQ(Pixel(grid, row.left + 742, y), boneTwo);
  EXPECT_EQ(Pixel(grid, row.left + 743, y), black);
  EXPECT_EQ(Pixel(grid, row.left + 730, row.top + 1), black);
  // The header marks the same frame in grey.
  HWND header = reinterpret_cast<HWND>(SendMessageA(grid, LVM_GETHEADER, 0, 0));
  RECT item{};
  SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(Pixel(header, item.left + 721, item.top + 3), black);
  EXPECT_EQ(Pixel(header, item.left + 722, item.top + 3), RGB(64, 64, 64));
  EXPECT_EQ(Pixel(header, item.left + 745, item.top + 3), black);

  Click(IDC_ANIMATION_LIST, 0, true);  // deselect: none current, the rows stay but paint nothing
  ASSERT_EQ(Rows(IDC_KEY_GRID), 2);
  Paint();
  EXPECT_NE(Pixel(grid, row.left + 730, y), boneTwo);
}

TEST_F(KeyGrid, ZoomIsClampedNeedsTheRightButtonAloneAndSetsTheColumnWidth) {
  StartWithKeyAt(0.0f, 2, 2.0f);
  EXPECT_EQ(ColumnWidth(), 2909);
  RightDrag(100, 56);  // up by 44 pixels: 24 - 22 = 2
  EXPECT_EQ(Main().keyGrid.scale, 2.0f);
  EXPECT_EQ(ColumnWidth(), 247);
  Main().keyGrid.scale = 20.0f;
  RightDrag(100, 110);
  EXPECT_EQ(Main().keyGrid.scale, 24.0f);
  RightDrag(200, 100);
  EXPECT_EQ(Main().keyGrid.scale, 2.0f);
  RightDrag(100, 120, MK_RBUTTON | MK_LBUTTON);
  EXPECT_EQ(Main().keyGrid.scale, 2.0f);
  Click(IDC_ANIMATION_LIST, 0, true);  // no current animation: no zoom
  RightDrag(100, 110);
  EXPECT_EQ(Main().keyGrid.scale, 2.0f);
}

// A right drag with the mouse zooms out until the whole time line fits: the
// scroll bar goes, and every row shows its boxes at their new places.
TEST_F(KeyGrid, ZoomingOutUntilTheTimeLineFitsRepaintsEveryRow) {
  StartWithKeyAt(0.5f, 10, 2.0f, false);
  HWND grid = Item(IDC_KEY_GRID);
  ASSERT_TRUE(GetWindowLongPtrA(grid, GWL_STYLE) & WS_HSCROLL);
  POINT at{200, 150};
  ClientToScreen(grid, &at);
  SetForegroundWindow(window_);
  SendPointer(at);
  SendButton(Button::Right, true);
  for (int step = 1; step <= 12; ++step) {
    SendPointer({at.x, at.y - step * 5});
    Settle(20);
  }
  SendButton(Button::Right, false);
  Settle(200);
  ASSERT_EQ(Main().keyGrid.scale, 2.0f);
  EXPECT_FALSE(GetWindowLongPtrA(grid, GWL_STYLE) & WS_HSCROLL);
  for (int row = 0; row < 10; ++row) {
    RECT rect = RowRect(row);
    const COLORREF track = static_cast<COLORREF>(TrackColor(row + 1));
    EXPECT_EQ(Pixel(grid, rect.left + 30 * 2, (rect.top + rect.bottom) / 2), track) << "row " << row;
  }
}

TEST_F(KeyGrid, ZoomKeepsTheLeftFrameInPlace) {
  StartWithKeyAt(0.0f, 2, 10.0f);
  HWND grid = Item(IDC_KEY_GRID);
  SendMessageA(grid, LVM_SCROLL, 2400, 0);  // frame 100 at 24 pixels a frame
  Pump();
  ASSERT_EQ(GetScrollPos(grid, SB_HORZ), 2400);
  RightDrag(100, 76);  // 24 -> 12
  EXPECT_EQ(Main().keyGrid.scale, 12.0f);
  EXPECT_EQ(GetScrollPos(grid, SB_HORZ), 1200);
}

TEST_F(KeyGrid, HeaderRefusesColumnResizing) {
  StartWithKeyAt(0.5f);
  for (int id : {IDC_KEY_GRID, IDC_ANIMATION_LIST, IDC_BONE_LIST}) {
    HWND list = Item(id);
    NMHEADERA notify{};
    notify.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    notify.hdr.code = HDN_BEGINTRACKA;
    EXPECT_EQ(SendMessageA(list, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify)), 1) << id;
    notify.hdr.code = HDN_DIVIDERDBLCLICKA;
    EXPECT_EQ(SendMessageA(list, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify)), 1) << id;
  }
}

// Each bone sits beside its own keys: the rows of both lists have the same
// height and the same top on the screen, however either list was scrolled.
TEST_F(KeyGrid, RowsStaySideBySideWhicheverListScrolls) {
  StartWithKeyAt(0.5f, 40, 0.0f, false);
  HWND bones = Item(IDC_BONE_LIST);
  HWND grid = Item(IDC_KEY_GRID);
  auto expectAligned = [&](int row, const char* after) {
    EXPECT_EQ(ScreenRowTop(bones, row), ScreenRowTop(grid, row)) << "row " << row << " " << after;
    EXPECT_EQ(TopRow(IDC_BONE_LIST), TopRow(IDC_KEY_GRID)) << after;
  };
  expectAligned(1, "at start");
  expectAligned(10, "at start");

  for (int i = 0; i < 25; ++i) SendMessageA(grid, WM_VSCROLL, SB_LINEDOWN, 0);
  Pump();
  EXPECT_GT(TopRow(IDC_KEY_GRID), 20);
  expectAligned(30, "after scrolling the key grid");

  SendMessageA(bones, WM_KEYDOWN, VK_HOME, 0);
  SendMessageA(bones, WM_KEYUP, VK_HOME, 0);
  Pump();
  EXPECT_EQ(TopRow(IDC_BONE_LIST), 0);
  expectAligned(1, "after Home in the bone list");

  // A wheel turn moves the other list at once, not at the next message.
  RECT area;
  GetWindowRect(bones, &area);
  for (HWND list : {bones, grid}) {
    SendMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(area.left + 5, area.top + 30));
    EXPECT_GT(TopRow(list == bones ? IDC_BONE_LIST : IDC_KEY_GRID), 0) << "the wheel scrolled";
    expectAligned(10, "after a wheel turn");
  }
}

// As many rows as a real package's bones: the lists stay aligned after every
// change of their rows, not only after a scroll.
TEST_F(KeyGrid, RowsStayAlignedAfterEveryChangeOfTheirRows) {
  AnimPackage package = TestPackage(kFormatANPK, 2);
  for (Animation& animation : package.animations) {
    animation.bones.resize(20, animation.bones[0]);
    for (int t = 0; t < 20; ++t) SetName(animation.bones[static_cast<size_t>(t)].name, "bone" + std::to_string(t));
  }
  Start({WritePackage("walk.ifp", package)});
  HWND bones = Item(IDC_BONE_LIST);
  HWND grid = Item(IDC_KEY_GRID);
  auto expectAligned = [&](int row, const char* after) {
    EXPECT_EQ(TopRow(IDC_BONE_LIST), TopRow(IDC_KEY_GRID)) << after;
    EXPECT_EQ(ScreenRowTop(bones, row), ScreenRowTop(grid, row)) << "row " << row << " " << after;
  };
  Click(IDC_ANIMATION_LIST, 0);
  Click(IDC_BONE_LIST, 0);
  Press({VK_END});
  EXPECT_GT(TopRow(IDC_BONE_LIST), 0) << "End belongs to the list";
  expectAligned(19, "after End in the bone list");

  Click(IDC_BONE_LIST, 18);
  Click(IDC_BONE_LIST, 19, true);
  Press({VK_DELETE});
  ASSERT_EQ(Rows(IDC_BONE_LIST), 18);
  expectAligned(17, "after deleting the last rows");
  EXPECT_EQ(GetFocus(), bones) << "the keys still go to the bone list";
  Press({VK_CONTROL, 'Z'});
  ASSERT_EQ(Rows(IDC_BONE_LIST), 20);
  expectAligned(1, "after the rows came back");
  Click(IDC_BONE_LIST, 0);
  Press({VK_END});
  Click(IDC_ANIMATION_LIST, 1);
  expectAligned(1, "after another animation was chosen");
}

}  // namespace
}  // namespace zam::test
