// The Animation and Bone commands and the Remove Trans Key dialog.

#include <functional>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "resource.h"

namespace zam::test {
namespace {

using EditCommands = EditorTest;

std::vector<std::string> Names(const AnimPackage& package) {
  std::vector<std::string> names;
  for (const Animation& animation : package.animations) names.push_back(NameText(animation.name));
  return names;
}

TEST_F(EditCommands, CopyAppendsDeepCopiesOfTheSelectedRows) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 4))});
  Click(IDC_ANIMATION_LIST, 0);
  Click(IDC_ANIMATION_LIST, 2, true);
  Command(ID_ANIM_COPY);
  ASSERT_EQ(Rows(IDC_ANIMATION_LIST), 6);
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 4, 0), "anim0");
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 5, 0), "anim2");
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 5, 1), "150");
  EXPECT_FALSE(Selected(IDC_ANIMATION_LIST, 4));
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");

  // Delete the source, then change the copy's key types: nothing is shared.
  Click(IDC_ANIMATION_LIST, 0);
  Command(ID_ANIM_DELETE);
  Click(IDC_ANIMATION_LIST, 3);  // the copy of anim0
  Click(IDC_BONE_LIST, 0);
  Command(ID_BONE_KR00);
  const AnimPackage& package = State().package;
  EXPECT_EQ(Names(package), (std::vector<std::string>{"anim1", "anim2", "anim3", "anim0", "anim2"}));
  EXPECT_EQ(package.animations[3].bones[0].keyType, kKeyKR00);
  EXPECT_EQ(package.animations[1].bones[0].keyType, kKeyKRT0);
  EXPECT_EQ(package.animations[3].bones[1].keys[1].time, 2.5f);
}

// Delete removes exactly the selected rows, row by row from the first: the
// current animation is followed while earlier rows go, then deleted itself.
TEST_F(EditCommands, DeleteRemovesExactlyTheSelectedRows) {
  const std::pair<std::vector<int>, std::vector<std::string>> cases[] = {
      {{5, 0, 3}, {"anim1", "anim2", "anim4"}}, {{3, 1}, {"anim0", "anim2", "anim4", "anim5"}}};  // the first is current
  for (const auto& [rows, names] : cases) {
    Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 6))});
    for (size_t i = 0; i < rows.size(); ++i) Click(IDC_ANIMATION_LIST, rows[i], i > 0);
    Command(ID_ANIM_DELETE);
    EXPECT_EQ(Names(State().package), names);
    EXPECT_EQ(Column(IDC_ANIMATION_LIST), names);
    EXPECT_EQ(State().currentAnimation, -1);
    EXPECT_EQ(Rows(IDC_BONE_LIST), 0);
    EXPECT_EQ(Rows(IDC_KEY_GRID), 0);
    Close();
  }
}

TEST_F(EditCommands, BoneCommandsActOnTheCurrentAnimationOnly) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 2))});
  Click(IDC_ANIMATION_LIST, 1);
  Click(IDC_BONE_LIST, 0);
  Click(IDC_ANIMATION_LIST, 1, true);  // deselected: no animation current, tracks still listed
  Command(ID_BONE_KR00);
  Command(ID_BONE_DELETE);
  EXPECT_EQ(State().package.animations[1].bones[0].keyType, kKeyKRT0);
  EXPECT_EQ(State().package.animations[1].boneCount(), 2);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  Click(IDC_ANIMATION_LIST, 1);
  Click(IDC_BONE_LIST, 0);
  Command(ID_BONE_DELETE);
  EXPECT_EQ(State().package.animations[1].boneCount(), 1);
  EXPECT_EQ(State().package.animations[0].boneCount(), 2);
  EXPECT_EQ(Rows(IDC_BONE_LIST), 1);
  EXPECT_EQ(Rows(IDC_KEY_GRID), 1);
  EXPECT_EQ(Cell(IDC_BONE_LIST, 0, 0), "Spine");
}

TEST_F(EditCommands, KeyTypesDecideWhatTheNextSaveWrites) {
  AnimPackage source = TestPackage(kFormatANPK, 1);
  for (BoneTrack& track : source.animations[0].bones)
    for (KeyFrame& key : track.keys) key.translation[0] = key.scale[0] = 2.0f;
  std::string path = WritePackage("walk.ifp", source);
  Start({path});
  Click(IDC_ANIMATION_LIST, 0);
  Click(IDC_BONE_LIST, 0);
  Command(ID_BONE_KR00);  // KRT0 -> KR00: translation dropped
  Click(IDC_BONE_LIST, 1);
  Command(ID_BONE_KRT0);  // KRTS -> KRT0: scale dropped
  EXPECT_EQ(Cell(IDC_BONE_LIST, 0, 2), "KR00");
  EXPECT_EQ(Cell(IDC_BONE_LIST, 1, 2), "KRT0");
  Command(ID_BONE_KRT0);  // already KRT0: still an edit
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  Command(ID_IFP_SAVE);

  AnimPackage saved = ReadPackage(path);
  const Animation& animation = saved.animations[0];
  EXPECT_EQ(animation.bones[0].keyType, kKeyKR00);
  EXPECT_EQ(animation.bones[0].keys[1].translation[0], 0.0f);
  EXPECT_EQ(animation.bones[1].keyType, kKeyKRT0);
  EXPECT_EQ(animation.bones[1].keys[1].translation[0], 2.0f);
  EXPECT_EQ(animation.bones[1].keys[1].scale[0], 0.0f);
}

class RemoveTransKey : public EditorTest {
 protected:
  // Opens the dialog, records its rows ("name id kr krt" and a tick), sets the ticks and presses `button`.
  void Run(int button, std::function<void(HWND list)> tick = nullptr) {
    DialogDriver driver("Remove Trans Key");
    driver.Then([&](HWND dialog) {
      HWND list = GetDlgItem(dialog, IDC_REMOVE_TRANS_LIST);
      for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        std::string text;
        for (int column = 0; column < 4; ++column) {
          char buffer[32] = {};
          ListView_GetItemText(list, row, column, buffer, sizeof buffer);
          text += (column ? " " : "") + std::string(buffer);
        }
        rows.push_back(text + (ListView_GetCheckState(list, row) ? " [x]" : " [ ]"));
      }
      if (tick) tick(list);
      ClickButton(dialog, button);
    });
    Command(ID_ANIM_REMOVE_TRANS_KEY);
    EXPECT_EQ(driver.pending(), 0u);
  }
  std::vector<std::string> rows;

  static AnimPackage Bones(std::vector<std::vector<std::pair<int32_t, uint32_t>>> animations) {
    AnimPackage package = TestPackage(kFormatANPK, static_cast<int>(animations.size()));
    for (size_t a = 0; a < animations.size(); ++a) {
      package.animations[a].bones.clear();
      for (auto [id, type] : animations[a]) {
        BoneTrack track{};
        SetName(track.name, "bone" + std::to_string(id));
        track.boneId = id;
        track.keyType = type;
        package.animations[a].bones.push_back(track);
      }
    }
    return package;
  }
};

TEST_F(RemoveTransKey, ListsBoneIdsOfTheSelectedAnimationsWithCounts) {
  Start({WritePackage("walk.ifp", Bones({{{3, kKeyKRT0}, {0, kKeyKRT0}}, {{9, kKeyKRT0}}, {{3, kKeyKRT0}, {-2, kKeyKR00}}}))});
  Run(IDCANCEL);
  EXPECT_TRUE(rows.empty()) << "without a selection the list is empty";
  Click(IDC_ANIMATION_LIST, 0);
  Click(IDC_ANIMATION_LIST, 2, true);
  Run(IDCANCEL);
  EXPECT_EQ(rows, (std::vector<std::string>{"bone3 3 0 2 [x]", "bone0 0 0 1 [ ]", "bone-2 -2 1 0 [ ]"}));
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager") << "Cancel changes nothing";
  Run(IDOK, [](HWND list) { ListView_SetCheckState(list, 0, FALSE); });  // nothing ticked
  EXPECT_EQ(State().package.animations[0].bones[0].keyType, kKeyKRT0);
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager") << "OK still marks the package";
}

TEST_F(RemoveTransKey, OkMakesTheTickedBonesRotationOnly) {
  Start({WritePackage("walk.ifp", Bones({{{3, kKeyKRT0}, {3, kKeyKRT0}, {5, kKeyKRTS}, {0, kKeyKRT0}}}))});
  Click(IDC_ANIMATION_LIST, 0);
  Run(IDOK);
  const Animation& animation = State().package.animations[0];
  EXPECT_EQ(animation.bones[0].keyType, kKeyKR00);
  EXPECT_EQ(animation.bones[1].keyType, kKeyKRT0) << "only the first track of an id";
  EXPECT_EQ(animation.bones[2].keyType, kKeyKR00);
  EXPECT_EQ(animation.bones[3].keyType, kKeyKRT0) << "the root is unticked";
  EXPECT_EQ(Cell(IDC_BONE_LIST, 0, 2), "KR00");
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
}

}  // namespace
}  // namespace zam::test
