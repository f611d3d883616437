// Undo and redo of every change to the document, from the IFP menu.

#include <functional>

#include "app/win32/opening_flow.h"
#include "dialog_driver.h"
#include "editor_fixture.h"
#include "resource.h"
#include "support/package_matchers.h"

namespace zam::test {
namespace {

using Undo = EditorTest;

TEST_F(Undo, EveryChangeToTheDocumentIsUndoneAndRedone) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 4))});
  // "extra" is new to the document; its anim1 has a track fewer than the document's.
  AnimPackage incoming = TestPackage(kFormatANPK, 2);
  SetName(incoming.animations[0].name, "extra");
  incoming.animations[1].bones.pop_back();
  std::string other = WritePackage("other.ifp", incoming);
  // The rows of the animation list: the first clicked, the others added.
  auto select = [this](std::vector<int> rows) {
    for (size_t i = 0; i < rows.size(); ++i) Click(IDC_ANIMATION_LIST, rows[i], i > 0);
  };
  auto openWithOptions = [&](int mode, std::vector<bool> checks) {
    DialogDriver driver("Opening Option");
    driver.Then([mode, checks](HWND dialog) {
      ClickButton(dialog, mode);
      HWND list = GetDlgItem(dialog, IDC_OPENING_LIST);
      for (size_t row = 0; row < checks.size(); ++row) ListView_SetCheckState(list, static_cast<int>(row), checks[row]);
      ClickButton(dialog, IDOK);
    });
    RunOpeningOptions(State(), {other});
    Pump();
  };
  struct Edit {
    const char* what;
    std::function<void()> make;
  };
  const std::vector<Edit> edits = {
      {"animation copy", [&] { select({0, 2}); Command(ID_ANIM_COPY); }},
      {"animation delete", [&] { select({1, 3}); Command(ID_ANIM_DELETE); }},
      {"animation rename", [&] { Rename(IDC_ANIMATION_LIST, 2, "run"); }},
      {"bone delete", [&] { select({1}); Click(IDC_BONE_LIST, 0); Command(ID_BONE_DELETE); }},
      {"bone rename", [&] { select({1}); Rename(IDC_BONE_LIST, 1, "Neck"); }},
      {"KR00", [&] { select({3}); Click(IDC_BONE_LIST, 0); Command(ID_BONE_KR00); }},
      {"KRT0", [&] { select({3}); Click(IDC_BONE_LIST, 1); Command(ID_BONE_KRT0); }},
      {"Remove Trans Key",
       [&] {
         select({0});
         DialogDriver driver("Remove Trans Key");
         driver.Then([](HWND dialog) { ClickButton(dialog, IDOK); });
         Command(ID_ANIM_REMOVE_TRANS_KEY);
       }},
      {"append", [&] { openWithOptions(IDC_OPENING_APPEND, {true, true}); }},
      {"replace", [&] { select({1}); openWithOptions(IDC_OPENING_REPLACE, {true, true}); }},
      {"package name", [&] { SetDlgItemTextA(window_, IDC_PACKAGE_NAME, "cop"); Pump(); }},
      {"layout",
       [&] {
         SendDlgItemMessageA(window_, IDC_LAYOUT_BOX, CB_SETCURSEL, 1, 0);
         ControlCommand(IDC_LAYOUT_BOX, CBN_SELCHANGE);
       }},
  };
  const std::string opened = "walk.ifp - Zelcor Animation Manager";
  for (const Edit& edit : edits) {
    SCOPED_TRACE(edit.what);
    AnimPackage before = State().package;
    edit.make();
    AnimPackage after = State().package;
    std::string titleAfter = Title();
    ASSERT_FALSE(SamePackage(before, after)) << "the edit changed nothing";
    EXPECT_EQ(titleAfter == opened, std::string(edit.what) == "layout");

    Command(ID_EDIT_UNDO);
    EXPECT_TRUE(SamePackage(before, State().package));
    EXPECT_EQ(Title(), opened);
    EXPECT_EQ(Rows(IDC_ANIMATION_LIST), before.animationCount());
    const Animation* shown = State().CurrentAnimation();
    EXPECT_EQ(Rows(IDC_BONE_LIST), shown ? shown->boneCount() : 0);
    EXPECT_TRUE(MenuState(ID_EDIT_UNDO) & MF_GRAYED);

    Command(ID_EDIT_REDO);
    EXPECT_TRUE(SamePackage(after, State().package));
    EXPECT_EQ(Title(), titleAfter);
    EXPECT_EQ(Text(IDC_PACKAGE_NAME), NameText(after.name));
    EXPECT_TRUE(MenuState(ID_EDIT_REDO) & MF_GRAYED);
    Command(ID_EDIT_UNDO);  // the next edit starts from the opened package
  }
}

TEST_F(Undo, OpeningAnotherPackageForgetsTheHistory) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 2))});
  Click(IDC_ANIMATION_LIST, 0);
  Command(ID_ANIM_DELETE);
  EXPECT_FALSE(MenuState(ID_EDIT_UNDO) & MF_GRAYED);
  prompts_.chosenPaths = {WritePackage("run.ifp", TestPackage(kFormatANP3, 3))};
  Command(ID_IFP_OPEN);  // the question about the unsaved delete is answered OK
  EXPECT_EQ(Title(), "run.ifp - Zelcor Animation Manager");
  EXPECT_TRUE(MenuState(ID_EDIT_UNDO) & MF_GRAYED);
  Command(ID_EDIT_UNDO);
  EXPECT_EQ(State().package.animationCount(), 3);
}

}  // namespace
}  // namespace zam::test
