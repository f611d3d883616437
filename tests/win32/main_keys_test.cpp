// The keys of the main window, pressed as the keyboard sends them.

#include <initializer_list>

#include "editor_fixture.h"
#include "resource.h"
#include "support/package_matchers.h"

namespace zam::test {
namespace {

class MainKeys : public EditorTest {
 protected:
  void Focus(int id) {
    SetFocus(Item(id));
    Pump();
  }
};

TEST_F(MainKeys, DelOnTwoAnimationsThenCtrlZPutsThemBackInPlaceWithTheirKeys) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 4))});
  AnimPackage opened = Model().package();
  Click(IDC_ANIMATION_LIST, 1);
  Click(IDC_ANIMATION_LIST, 3, true);
  Focus(IDC_ANIMATION_LIST);
  Press({VK_DELETE});
  EXPECT_EQ(Column(IDC_ANIMATION_LIST), (std::vector<std::string>{"anim0", "anim2"}));
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");

  Press({VK_CONTROL, 'Z'});
  EXPECT_TRUE(SamePackage(opened, Model().package()));
  EXPECT_EQ(Column(IDC_ANIMATION_LIST), (std::vector<std::string>{"anim0", "anim1", "anim2", "anim3"}));
  EXPECT_TRUE(Selected(IDC_ANIMATION_LIST, 1) && Selected(IDC_ANIMATION_LIST, 3));
  EXPECT_FALSE(Selected(IDC_ANIMATION_LIST, 0) || Selected(IDC_ANIMATION_LIST, 2));
  EXPECT_EQ(Model().currentAnimation(), 1);
  EXPECT_EQ(Cell(IDC_BONE_LIST, 1, 0), "Spine");
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  EXPECT_TRUE(MenuState(ID_EDIT_UNDO) & MF_GRAYED);

  Press({VK_CONTROL, 'Y'});
  EXPECT_EQ(Column(IDC_ANIMATION_LIST), (std::vector<std::string>{"anim0", "anim2"}));
  Press({VK_CONTROL, 'Z'});
  Press({VK_CONTROL, VK_SHIFT, 'Z'});
  EXPECT_EQ(Column(IDC_ANIMATION_LIST), (std::vector<std::string>{"anim0", "anim2"}));
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
}

TEST_F(MainKeys, F2RenamesTheFocusedRowAndKeysTypedThereEditTheName) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 4))});
  Click(IDC_ANIMATION_LIST, 2);
  Focus(IDC_ANIMATION_LIST);
  Press({VK_F2});
  HWND edit = reinterpret_cast<HWND>(SendMessageA(Item(IDC_ANIMATION_LIST), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr) << "F2 starts the label edit";
  EXPECT_EQ(GetFocus(), edit);
  // Keys that are commands elsewhere edit the text here: the typed "ab"
  // becomes " b".
  for (WORD key : std::initializer_list<WORD>{'A', 'B', VK_HOME, VK_DELETE, VK_SPACE}) Press({key});
  Press({VK_CONTROL, 'D'});
  Press({VK_RETURN});
  EXPECT_EQ(Column(IDC_ANIMATION_LIST), (std::vector<std::string>{"anim0", "anim1", " b", "anim3"}));
  EXPECT_EQ(Text(IDC_PLAY), "|>");

  // Undo from the menu during a rename: the rename ends, then is undone.
  Press({VK_F2});
  Press({'Z'});
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(SendMessageA(Item(IDC_ANIMATION_LIST), LVM_GETEDITCONTROL, 0, 0), 0);
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 2, 0), " b");
  Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 2, 0), "anim2");
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
}

TEST_F(MainKeys, TypingInThePackageNameBoxIsItsOwnAndOneStep) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 4))});
  Focus(IDC_PACKAGE_NAME);
  SendDlgItemMessageA(window_, IDC_PACKAGE_NAME, EM_SETSEL, 0, -1);
  for (WORD key : std::initializer_list<WORD>{'A', 'B', VK_SPACE, VK_HOME, VK_DELETE}) Press({key});
  EXPECT_EQ(NameText(Model().package().name), "b ");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 4);
  EXPECT_EQ(Text(IDC_PLAY), "|>");
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(Text(IDC_PACKAGE_NAME), "ped");
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
}

TEST_F(MainKeys, FileKeysSaveAndTheHistoryOutlivesTheSave) {
  std::string path = WritePackage("walk.ifp", TestPackage(kFormatANPK, 2));
  Start({path});
  Click(IDC_ANIMATION_LIST, 0);
  Focus(IDC_ANIMATION_LIST);
  Press({VK_CONTROL, 'D'});
  EXPECT_EQ(Column(IDC_ANIMATION_LIST), (std::vector<std::string>{"anim0", "anim1", "anim0"}));
  Press({VK_CONTROL, 'S'});
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  EXPECT_EQ(ReadPackage(path).animationCount(), 3);

  Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  Press({VK_CONTROL, 'Y'});
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");

  prompts_.chosenPaths = {"", ""};  // both file dialogs cancelled
  Press({VK_CONTROL, VK_SHIFT, 'S'});
  Press({VK_CONTROL, 'O'});
  ASSERT_EQ(prompts_.fileDialogs.size(), 2u);
  EXPECT_EQ(prompts_.fileDialogs[0].defaultExtension, L"ifp") << "Save As";
  EXPECT_EQ(prompts_.fileDialogs[1].defaultExtension, L"") << "Open";

  Press({VK_CONTROL, 'Z'});  // an unsaved change again: New asks first
  prompts_.answers = {IDCANCEL, IDOK};
  Press({VK_CONTROL, 'N'});
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager") << "declined";
  Press({VK_CONTROL, 'N'});
  EXPECT_EQ(Title(), "new - Zelcor Animation Manager");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 0);
}

TEST_F(MainKeys, PlayAndFrameKeysMoveThePlayHead) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 2))});
  Click(IDC_ANIMATION_LIST, 0);  // 150 frames
  Focus(IDC_ANIMATION_LIST);
  Press({VK_RIGHT});
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "0") << "Right moves in the list";

  // A click on the preview gives it the focus.
  RECT area;
  GetWindowRect(Item(IDC_PREVIEW), &area);
  POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  ScreenToClient(window_, &centre);
  SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
  EXPECT_EQ(GetFocus(), Item(IDC_PREVIEW));
  Press({VK_RIGHT});
  Press({VK_RIGHT});
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "2");
  Press({VK_LEFT});
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "1");
  Press({VK_END});
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "150");
  Press({VK_HOME});
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "0");
  Press({VK_SPACE});
  EXPECT_EQ(Text(IDC_PLAY), "||");
  Press({VK_SPACE});
  EXPECT_EQ(Text(IDC_PLAY), "|>");
}

}  // namespace
}  // namespace zam::test
