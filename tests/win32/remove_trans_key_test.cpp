// The Remove Trans Key dialog: what it lists and what its buttons do.

#include <functional>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "resource.h"

namespace zam::test {
namespace {

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

TEST_F(RemoveTransKey, ListsTheBoneIdsOfTheSelectedAnimationsAndOkChangesTheTickedOnes) {
  Start({WritePackage("walk.ifp", Bones({{{3, kKeyKRT0}, {0, kKeyKRT0}, {5, kKeyKRTS}}, {{9, kKeyKRT0}},
                                         {{3, kKeyKRT0}, {-2, kKeyKR00}}}))});
  Run(IDCANCEL);
  EXPECT_TRUE(rows.empty()) << "without a selection the list is empty";
  Click(IDC_ANIMATION_LIST, 0);
  Click(IDC_ANIMATION_LIST, 2, true);
  Run(IDCANCEL);
  EXPECT_EQ(rows, (std::vector<std::string>{"bone3 3 0 2 [x]", "bone0 0 0 1 [ ]", "bone5 5 0 0 [x]",
                                            "bone-2 -2 1 0 [ ]"}));
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager") << "Cancel changes nothing";

  Run(IDOK, [](HWND list) { ListView_SetCheckState(list, 2, FALSE); });  // bone 5 unticked
  const Animation& animation = Model().package().animations[0];
  EXPECT_EQ(animation.bones[0].keyType, kKeyKR00);
  EXPECT_EQ(animation.bones[1].keyType, kKeyKRT0) << "the root is unticked";
  EXPECT_EQ(animation.bones[2].keyType, kKeyKRTS);
  EXPECT_EQ(Cell(IDC_BONE_LIST, 0, 2), "KR00") << "the track rows show the new types";
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
}

}  // namespace
}  // namespace zam::test
