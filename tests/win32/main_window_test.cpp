// Start-up, the settings, the layout and the boxes of the main window.

#include "editor_fixture.h"
#include "resource.h"

namespace zam::test {
namespace {

using MainWindow = EditorTest;

TEST_F(MainWindow, StartsAsANewDocumentWithItsDefaults) {
  Start();
  EXPECT_EQ(Title(), "new - Zelcor Animation Manager");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 0);
  EXPECT_EQ(Rows(IDC_BONE_LIST), 0);
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "0");
  EXPECT_EQ(Text(IDC_FRAME_COUNT), "0");
  EXPECT_EQ(Text(IDC_PLAY), "|>");
  EXPECT_FALSE(GetWindowLongPtrA(Item(IDC_BONE_LIST), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL))
      << "the bone list scrolls only with the key grid";
  EXPECT_EQ(SendDlgItemMessageA(window_, IDC_LAYOUT_BOX, CB_GETCOUNT, 0, 0), 3);
  // No settings file: the options at their defaults (the core tests read them).
  EXPECT_TRUE(MenuState(ID_PREVIEW_CENTER_VIEW) & MF_CHECKED);
  EXPECT_TRUE(prompts_.messages.empty());
  Command(ID_HELP_ABOUT);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text.rfind("Zelcor Animation Manager 0.20\n\n", 0), 0u) << "About";
  EXPECT_NE(Model().initialDirectory().find("\\Brightfold Games\\Zelcor Halvern\\"), std::string::npos);
  EXPECT_EQ(Model().rememberedModels().model, "");
}

TEST_F(MainWindow, SettingsFileBesideTheExecutableSetsTheMenu) {
  WriteSettings("[Preview]\nShowAxis=0\nShowMesh=7\nCulling=1\nSpecView=1\nBGColor=ff8000\n[Directory]\nShowDFF=0\n");
  Start();
  EXPECT_FALSE(MenuState(ID_PREVIEW_SHOW_AXIS) & MF_CHECKED);
  EXPECT_TRUE(MenuState(ID_PREVIEW_SHOW_MESH) & MF_CHECKED);
  EXPECT_TRUE(MenuState(ID_PREVIEW_DISABLE_CULLING) & MF_CHECKED);
  EXPECT_FALSE(MenuState(ID_DIR_SHOW_DFF) & MF_CHECKED);
  EXPECT_TRUE(MenuState(ID_PREVIEW_SPEC_ROOT_VIEW) & MF_CHECKED);
  EXPECT_FALSE(MenuState(ID_PREVIEW_CENTER_VIEW) & MF_CHECKED);
  EXPECT_EQ(Model().settings().preview.backgroundColor, 0xFF8000u);
}

TEST_F(MainWindow, OpensTheFirstCommandLineFile) {
  std::string path = WritePackage("walk.ifp", TestPackage(kFormatANP3, 3));
  Start({path});
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  ASSERT_EQ(Rows(IDC_ANIMATION_LIST), 3);
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 2, 0), "anim2");
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 2, 1), "150");
  EXPECT_EQ(Text(IDC_PACKAGE_NAME), "ped");
  EXPECT_EQ(SendDlgItemMessageA(window_, IDC_LAYOUT_BOX, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Model().currentAnimation(), -1);
  EXPECT_EQ(Rows(IDC_BONE_LIST), 0);
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "0");  // start-up resets the time controls after the file
  EXPECT_EQ(Model().document().documentDirectory, dir_ + "\\");
}

TEST_F(MainWindow, AFileThatCannotBeReadIsReportedAndTheDocumentStaysNew) {
  WriteFile(Path("notes.ifp"), {'R', 'I', 'F', 'F', 0, 0, 0, 0});
  for (auto [file, message] : {std::pair{"notes.ifp", "Unknown Format String."}, {"missing.ifp", "File cannot open."}}) {
    prompts_.messages.clear();
    Start({Path(file)});
    ASSERT_EQ(prompts_.messages.size(), 1u);
    EXPECT_EQ(prompts_.messages[0].text.substr(0, prompts_.messages[0].text.find('\n')), message)
        << "a file that cannot be opened also says why, under the message";
    EXPECT_EQ(prompts_.messages[0].caption, "Zelcor Animation Manager");
    EXPECT_EQ(prompts_.messages[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONHAND));
    EXPECT_EQ(Title(), "new - Zelcor Animation Manager");
    EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 0);
    Close();
  }
}

// The package name box marks the document modified only when the text
// differs; the layout box switches the layout without marking it.
TEST_F(MainWindow, PackageNameAndLayoutBoxes) {
  Start({WritePackage("walk.ifp", TestPackage())});
  ClickControl(IDC_LAYOUT_BOX, {10, 10});
  Press({VK_DOWN});
  Press({VK_RETURN});
  EXPECT_EQ(Model().package().format, kFormatANP3);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  ClickControl(IDC_PACKAGE_NAME, {80, 8});
  Press({VK_END});
  SendText("_and_a_longer_name");
  Settle();
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(NameText(Model().package().name), "ped_and_a_longer_name") << "typed at the end";
  SendText("_still");
  Settle();
  EXPECT_EQ(Text(IDC_PACKAGE_NAME), "ped_and_a_longer_name_s") << "the box takes 23 characters";
}

TEST_F(MainWindow, EnterAndEscapeDoNothingAndClosingAsksOnlyWithUnsavedChanges) {
  Start({WritePackage("walk.ifp", TestPackage())});
  Command(IDOK);
  Command(IDCANCEL);
  EXPECT_TRUE(IsWindowVisible(window_));
  SetDlgItemTextA(window_, IDC_PACKAGE_NAME, "changed");
  Pump();
  prompts_.answers = {IDCANCEL};
  SendMessageA(window_, WM_CLOSE, 0, 0);
  Pump();
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "Current editing will be lost.\nDo you want to continue?");
  EXPECT_EQ(prompts_.messages[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
  EXPECT_TRUE(IsWindowVisible(window_)) << "Cancel keeps the window";
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");

  prompts_.answers = {IDOK};
  SendMessageA(window_, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(window_));

  Close();
  prompts_.messages.clear();
  Start({Path("walk.ifp")});
  SendMessageA(window_, WM_CLOSE, 0, 0);
  Pump();
  EXPECT_TRUE(prompts_.messages.empty()) << "nothing to lose, nothing asked";
  EXPECT_FALSE(IsWindowVisible(window_));
}

// The template is smaller than the layout allows: the window opens at the
// smallest size with its layout applied, the bone list no taller than the
// key grid and clear of the play buttons.
TEST_F(MainWindow, OpensAtLeastAtTheMinimumSizeWithTheLayoutApplied) {
  Start({WritePackage("walk.ifp", TestPackage())});
  RECT client;
  GetClientRect(window_, &client);
  EXPECT_GE(client.right, 720);
  EXPECT_GE(client.bottom, 585);
  RECT bones, grid, play;
  GetWindowRect(Item(IDC_BONE_LIST), &bones);
  GetWindowRect(Item(IDC_KEY_GRID), &grid);
  GetWindowRect(Item(IDC_PLAY), &play);
  EXPECT_EQ(bones.top, grid.top);
  EXPECT_LE(bones.bottom, grid.bottom);
  EXPECT_LE(bones.bottom, play.top) << "the bone list covers the play buttons";
  Click(IDC_ANIMATION_LIST, 0);
  RECT bonesClient, gridClient;
  GetClientRect(Item(IDC_BONE_LIST), &bonesClient);
  GetClientRect(Item(IDC_KEY_GRID), &gridClient);
  EXPECT_EQ(bonesClient.bottom, gridClient.bottom) << "both lists show as many rows";
}

TEST_F(MainWindow, LaysTheControlsOutForTheNewSizeAndRefusesOneBelow720By585) {
  Start();
  RECT outer, client;
  GetWindowRect(window_, &outer);
  GetClientRect(window_, &client);
  int frameWidth = (outer.right - outer.left) - client.right;
  int frameHeight = (outer.bottom - outer.top) - client.bottom;
  MINMAXINFO info{};
  SendMessageA(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x - frameWidth, 720);
  EXPECT_EQ(info.ptMinTrackSize.y - frameHeight, 585);
  SetWindowPos(window_, nullptr, 0, 0, 1000 + frameWidth, 800 + frameHeight, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  auto rect = [this](int id) {
    RECT r;
    GetWindowRect(Item(id), &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  RECT grid = rect(IDC_KEY_GRID);
  EXPECT_EQ(grid.left, 157);
  EXPECT_EQ(grid.top, 556);
  EXPECT_EQ(grid.right - grid.left, 723);
  RECT preview = rect(IDC_PREVIEW);
  EXPECT_EQ(preview.right - preview.left, 625);
  EXPECT_EQ(preview.bottom - preview.top, 516);
  RECT count = rect(IDC_FRAME_COUNT);
  EXPECT_EQ(count.left, 948);
  EXPECT_EQ(count.top, 768);
  RECT play = rect(IDC_PLAY);
  EXPECT_EQ(play.left, 68);
}

}  // namespace
}  // namespace zam::test
