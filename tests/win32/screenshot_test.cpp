// Saves pictures for people to look at: the main window with a package open,
// the preview playing the demo, the Opening Option dialog over the main
// window, and the browser in an archive. Written when ZAM_SCREENSHOT_DIR
// names a folder.

#include <cstdlib>
#include <fstream>

#include "anim/ifp_writer.h"
#include "app/win32/opening_flow.h"
#include "dialog_driver.h"
#include "editor_fixture.h"
#include "img_builder.h"
#include "resource.h"

namespace zam::test {
namespace {

// Copies the window's pixels from the screen into a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const std::string& path) {
  RECT rect;
  GetWindowRect(window, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return out.good();
}

class Screenshot : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    const char* folder = std::getenv("ZAM_SCREENSHOT_DIR");
    if (!folder) GTEST_SKIP() << "ZAM_SCREENSHOT_DIR is not set";
    folder_ = folder;
  }
  // The window redrawn and settled, saved as `name`.
  void Save(const std::string& name) {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    Sleep(300);
    Pump();
    EXPECT_TRUE(SaveWindowBitmap(window_, folder_ + "\\" + name));
  }
  std::string folder_;
};

TEST_F(Screenshot, MainWindowWithAPackageOpen) {
  // Tracks with keys at different times, so the key grid shows a pattern.
  AnimPackage package = TestPackage(kFormatANPK, 6);
  for (Animation& animation : package.animations) {
    for (int t = 0; t < 8; ++t) {
      BoneTrack track = animation.bones[t % 2];
      track.boneId = t * 3;
      track.keys.clear();
      for (float time = 0.0f; time <= 2.5f; time += 0.1f * static_cast<float>(t % 3 + 1)) {
        track.keys.push_back({{0, 0, 0, 1}, {}, {}, time});
      }
      animation.bones.push_back(track);
    }
  }
  Start({WritePackage("walk.ifp", package)});
  SetWindowPos(window_, HWND_TOP, 20, 20, 900, 650, SWP_SHOWWINDOW);
  Click(IDC_ANIMATION_LIST, 2);
  // Zoom out by a right-drag upward: 24 -> 4 pixels a frame.
  SendMessageA(Item(IDC_KEY_GRID), WM_MOUSEMOVE, 0, MAKELPARAM(10, 100));
  SendMessageA(Item(IDC_KEY_GRID), WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(10, 60));
  // A key of the third track chosen for editing: highlighted, the play head on it.
  RECT row{};
  row.left = LVIR_LABEL;
  SendMessageA(Item(IDC_KEY_GRID), LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
  ClickControl(IDC_KEY_GRID, {row.left + 4 * 30 + 1, (row.top + row.bottom) / 2});
  ClickControl(IDC_KEY_ROTATE, {4, 4});
  Save("editor.bmp");
}

// The demo character holding the pistol, playing its wave.
TEST_F(Screenshot, PreviewPlayingTheDemo) {
  WriteDemoFiles();
  WriteSettings("[Preview]\nModel=" + Path("character.dff") + "\nWeapon=" + Path("pistol.dff") + "\n");
  Start({Path("demo.ifp")});
  SetWindowPos(window_, HWND_TOP, 20, 20, 900, 650, SWP_SHOWWINDOW);
  Click(IDC_ANIMATION_LIST, 2);
  ControlCommand(IDC_PLAY, BN_CLICKED);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 400;) Pump();
  Save("preview.bmp");
}

TEST_F(Screenshot, OpeningOptionOverTheMainWindow) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 3))});
  SetWindowPos(window_, HWND_TOP, 20, 20, 900, 650, SWP_SHOWWINDOW);
  AnimPackage incoming = TestPackage(kFormatANP3, 6);
  SetName(incoming.animations[4].name, "ANIM1_RUN");
  SetName(incoming.animations[5].name, "sprint_civi");
  std::string path = WritePackage("run_and_walk.ifp", incoming);
  DialogDriver driver("Opening Option");
  bool saved = false;
  driver.Then([&](HWND dialog) {
    ListView_SetItemState(GetDlgItem(dialog, IDC_OPENING_LIST), 4, LVIS_FOCUSED | LVIS_SELECTED,
                          LVIS_FOCUSED | LVIS_SELECTED);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(300);
    saved = SaveWindowBitmap(window_, folder_ + "\\opening_option.bmp");
    ClickButton(dialog, IDCANCEL);
  });
  OfferPackage(Main(), path);
  EXPECT_TRUE(saved);
}

// The tree browses an archive inside a folder of packages, with one of the
// archive's packages open.
TEST_F(Screenshot, BrowsingAnArchive) {
  std::string game = Path("game");
  CreateDirectoryA(game.c_str(), nullptr);
  CreateDirectoryA((game + "\\models").c_str(), nullptr);
  WritePackage("game\\walk.ifp", TestPackage());
  WriteFile(game + "\\ped.dff", {1});
  std::vector<gen::ImgBuildEntry> entries;
  for (const char* name : {"ped.dff", "run.ifp", "ped.txd", "gun.dff", "idle.ifp", "fight.ifp", "swim.ifp"}) {
    std::vector<uint8_t> bytes;
    WriteIfp(TestPackage(kFormatANP3, 5), bytes);
    entries.push_back({name, bytes});
  }
  WriteFile(game + "\\anim.img", gen::BuildImgArchive(entries));
  WriteSettings("[Directory]\nInitDir=" + game + "\\anim.img\n");
  Start();
  SetWindowPos(window_, HWND_TOP, 20, 20, 900, 650, SWP_SHOWWINDOW);
  HWND tree = Item(IDC_BROWSER_TREE);
  HTREEITEM browsed = TreeView_GetSelection(tree);
  HTREEITEM second = TreeView_GetNextSibling(tree, TreeView_GetChild(tree, browsed));
  TreeView_SelectItem(tree, second);
  Command(ID_TREE_OPEN);
  SetFocus(tree);
  EXPECT_EQ(Title(), "idle.ifp - Zelcor Animation Manager");
  Save("browser.bmp");
}

}  // namespace
}  // namespace zam::test
