// The animation and bone lists: the current animation, renaming, the
// modified question and what the lists show after a discard.

#include "editor_fixture.h"
#include "resource.h"

namespace zam::test {
namespace {

using PackageViews = EditorTest;

TEST_F(PackageViews, PlainClickMakesTheRowCurrentAndListsItsTracks) {
  Start({WritePackage("walk.ifp", TestPackage())});
  Click(IDC_ANIMATION_LIST, 1);
  EXPECT_EQ(Model().currentAnimation(), 1);
  ASSERT_EQ(Rows(IDC_BONE_LIST), 2);
  EXPECT_EQ(Cell(IDC_BONE_LIST, 1, 0), "Spine");
  EXPECT_EQ(Cell(IDC_BONE_LIST, 1, 1), "22");
  EXPECT_EQ(Cell(IDC_BONE_LIST, 1, 2), "KRTS");
  EXPECT_EQ(Text(IDC_FRAME_COUNT), "150");
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "0");
  EXPECT_EQ(SendDlgItemMessageA(window_, IDC_TIME_BAR, TBM_GETRANGEMAX, 0, 0), 150);
  EXPECT_EQ(Rows(IDC_KEY_GRID), 2);

  Click(IDC_ANIMATION_LIST, 3);
  EXPECT_EQ(Model().currentAnimation(), 3);
}

TEST_F(PackageViews, CtrlClickKeepsTheCurrentAnimationAndDeselectingDropsIt) {
  Start({WritePackage("walk.ifp", TestPackage())});
  Click(IDC_ANIMATION_LIST, 0);
  Click(IDC_ANIMATION_LIST, 2, true);
  EXPECT_EQ(Model().currentAnimation(), 0);
  EXPECT_TRUE(MenuState(ID_ANIM_RENAME) & MF_GRAYED) << "Rename needs exactly one row";
  Click(IDC_ANIMATION_LIST, 0, true);
  EXPECT_EQ(Model().currentAnimation(), -1);
  EXPECT_EQ(Rows(IDC_BONE_LIST), 2) << "the tracks stay listed";
  EXPECT_FALSE(MenuState(ID_ANIM_RENAME) & MF_GRAYED);
}

// The list shows a package's rows without holding them: a range chosen with
// Shift, its delete, undo and redo all show the package's rows and the
// editor's selection.
TEST_F(PackageViews, ShiftClickSelectsARangeThatDeleteUndoAndRedoShowInPlace) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 5))});
  Click(IDC_ANIMATION_LIST, 1);
  ClickRow(IDC_ANIMATION_LIST, 3, {VK_SHIFT});
  EXPECT_EQ(Model().selectedAnimations(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(Model().currentAnimation(), 1);

  Press({VK_DELETE});
  EXPECT_EQ(Column(IDC_ANIMATION_LIST), (std::vector<std::string>{"anim0", "anim4"}));
  EXPECT_FALSE(Selected(IDC_ANIMATION_LIST, 1)) << "the selection stays with the rows, not the indices";

  Press({VK_CONTROL, 'Z'});
  EXPECT_EQ(Column(IDC_ANIMATION_LIST), (std::vector<std::string>{"anim0", "anim1", "anim2", "anim3", "anim4"}));
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 3, 1), "150");
  for (int row = 0; row < 5; ++row) EXPECT_EQ(Selected(IDC_ANIMATION_LIST, row), row >= 1 && row <= 3) << row;
  EXPECT_EQ(Model().currentAnimation(), 1);

  Press({VK_CONTROL, 'Y'});
  EXPECT_EQ(Column(IDC_ANIMATION_LIST), (std::vector<std::string>{"anim0", "anim4"}));
  EXPECT_EQ(Model().currentAnimation(), -1);

  // Typing the start of a name in the focused list goes to that row.
  Click(IDC_ANIMATION_LIST, 0);
  SendText("ANIM4");
  Settle();
  EXPECT_EQ(Model().currentAnimation(), 1);
  EXPECT_TRUE(Selected(IDC_ANIMATION_LIST, 1));
}

// The same text is no change; at most 23 characters are kept; Escape still
// applies the typed text.
TEST_F(PackageViews, RenameStoresAtMost23CharactersAndMarksModifiedOnChange) {
  Start({WritePackage("walk.ifp", TestPackage())});
  Rename(IDC_ANIMATION_LIST, 1, "anim1");
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  Rename(IDC_ANIMATION_LIST, 1, "run_fast_and_then_slower_again");
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(NameText(Model().package().animations[1].name), "run_fast_and_then_slowe");
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 1, 0), "run_fast_and_then_slowe");
  Rename(IDC_ANIMATION_LIST, 0, "idle", VK_ESCAPE);
  EXPECT_EQ(NameText(Model().package().animations[0].name), "idle");
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 0, 0), "idle");
}

TEST_F(PackageViews, BoneRenameChangesTheTrackOfTheCurrentAnimationOnly) {
  Start({WritePackage("walk.ifp", TestPackage())});
  Click(IDC_ANIMATION_LIST, 2);
  Rename(IDC_BONE_LIST, 1, "Chest");
  EXPECT_EQ(NameText(Model().package().animations[2].bones[1].name), "Chest");
  EXPECT_EQ(NameText(Model().package().animations[1].bones[1].name), "Spine");

  // No animation current, its tracks still listed: F2 starts no edit, and an
  // edit started on the row itself (a click on its selected name) renames nothing.
  Click(IDC_ANIMATION_LIST, 2, true);
  Click(IDC_BONE_LIST, 0);
  Press({VK_F2});
  EXPECT_EQ(SendMessageA(Item(IDC_BONE_LIST), LVM_GETEDITCONTROL, 0, 0), 0);
  HWND edit = reinterpret_cast<HWND>(SendMessageA(Item(IDC_BONE_LIST), LVM_EDITLABELA, 0, 0));
  ASSERT_NE(edit, nullptr);
  SendText("Pelvis");
  Settle();
  Press({VK_RETURN});
  EXPECT_EQ(NameText(Model().package().animations[2].bones[0].name), "Root");
  EXPECT_EQ(Cell(IDC_BONE_LIST, 0, 0), "Root");
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager") << "only the first rename";
}

TEST_F(PackageViews, ModifiedDocumentAsksBeforeOpeningAnother) {
  std::string first = WritePackage("walk.ifp", TestPackage(kFormatANPK, 4));
  std::string second = WritePackage("run.ifp", TestPackage(kFormatANPK, 2));
  Start({first});
  Rename(IDC_ANIMATION_LIST, 0, "changed");

  prompts_.chosenPaths = {second};
  prompts_.answers = {IDCANCEL};
  Command(ID_IFP_OPEN);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "Current editing will be lost.\nDo you want to continue?");
  EXPECT_EQ(prompts_.messages[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 4);

  prompts_.chosenPaths = {second};
  prompts_.answers = {IDOK};
  Command(ID_IFP_OPEN);
  EXPECT_EQ(Title(), "run.ifp - Zelcor Animation Manager");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 2);
}

TEST_F(PackageViews, AfterADiscardWithoutANewPackageTheListsAreEmpty) {
  Start({WritePackage("walk.ifp", TestPackage())});
  Click(IDC_ANIMATION_LIST, 1);
  prompts_.chosenPaths = {Path("gone.ifp")};
  Command(ID_IFP_OPEN);
  EXPECT_TRUE(CannotOpenWithReason(prompts_.messages.back().text)) << prompts_.messages.back().text;
  EXPECT_EQ(Title(), "new - Zelcor Animation Manager");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 0);
  EXPECT_EQ(Rows(IDC_BONE_LIST), 0);
  EXPECT_EQ(Rows(IDC_KEY_GRID), 0) << "no boxes of the animation that is gone";
  EXPECT_EQ(Model().currentAnimation(), -1);
}

}  // namespace
}  // namespace zam::test
