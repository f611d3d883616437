// The Animation and Bone commands and the Remove Trans Key dialog.

#include <functional>

#include "anim/ifp_reader.h"
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

TEST_F(EditCommands, DeleteRemovesExactlyTheSelectedRows) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 6))});
  Click(IDC_ANIMATION_LIST, 5);
  Click(IDC_ANIMATION_LIST, 0, true);
  Click(IDC_ANIMATION_LIST, 3, true);
  Command(ID_ANIM_DELETE);
  EXPECT_EQ(Names(State().package), (std::vector<std::string>{"anim1", "anim2", "anim4"}));
  ASSERT_EQ(Rows(IDC_ANIMATION_LIST), 3);
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 2, 0), "anim4");
  EXPECT_EQ(State().currentAnimation, -1) << "the current animation (row 5) was deleted";
  EXPECT_EQ(Rows(IDC_BONE_LIST), 0);
  EXPECT_EQ(Rows(IDC_KEY_GRID), 0);
}

TEST_F(EditCommands, CurrentAnimationIsFollowedWhileEarlierRowsAreDeleted) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 4))});
  Click(IDC_ANIMATION_LIST, 3);
  Click(IDC_ANIMATION_LIST, 1, true);  // anim3 stays current
  Command(ID_ANIM_DELETE);
  // Row 1 goes first, moving anim3 to row 2; then anim3 itself is deleted.
  EXPECT_EQ(Names(State().package), (std::vector<std::string>{"anim0", "anim2"}));
  EXPECT_EQ(State().currentAnimation, -1);
  EXPECT_EQ(Rows(IDC_BONE_LIST), 0);
  EXPECT_EQ(Rows(IDC_KEY_GRID), 0);
}

TEST_F(EditCommands, BoneDeleteRemovesTracksFromTheListAndTheGrid) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 2))});
  Click(IDC_ANIMATION_LIST, 1);
  Click(IDC_BONE_LIST, 0);
  Command(ID_BONE_DELETE);
  EXPECT_EQ(State().package.animations[1].boneCount(), 1);
  EXPECT_EQ(State().package.animations[0].boneCount(), 2);
  EXPECT_EQ(Rows(IDC_BONE_LIST), 1);
  EXPECT_EQ(Rows(IDC_KEY_GRID), 1);
  EXPECT_EQ(Cell(IDC_BONE_LIST, 0, 0), "Spine");
}

TEST_F(EditCommands, BoneCommandsWithoutACurrentAnimationDoNothing) {
  Start({WritePackage("walk.ifp", TestPackage(kFormatANPK, 2))});
  Click(IDC_ANIMATION_LIST, 0);
  Click(IDC_BONE_LIST, 1);
  Click(IDC_ANIMATION_LIST, 0, true);  // deselected: no animation current, tracks still listed
  Command(ID_BONE_KR00);
  Command(ID_BONE_DELETE);
  EXPECT_EQ(State().package.animations[0].bones[1].keyType, kKeyKRTS);
  EXPECT_EQ(State().package.animations[0].boneCount(), 2);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
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

  std::vector<uint8_t> bytes = ReadFile(path);
  AnimPackage saved{};
  ASSERT_EQ(ReadIfp(bytes.data(), bytes.size(), saved), IfpReadStatus::Ok);
  const Animation& animation = saved.animations[0];
  EXPECT_EQ(animation.bones[0].keyType, kKeyKR00);
  EXPECT_EQ(animation.bones[0].keys[1].translation[0], 0.0f);
  EXPECT_EQ(animation.bones[1].keyType, kKeyKRT0);
  EXPECT_EQ(animation.bones[1].keys[1].translation[0], 2.0f);
  EXPECT_EQ(animation.bones[1].keys[1].scale[0], 0.0f);
}

// Acts on the Remove Trans Key dialog once it is up: the command runs it
// modally, and a thread timer reaches it from inside its message loop.
std::function<void(HWND)> dialogAction;
void CALLBACK ActOnDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA(nullptr, "Remove Trans Key");
  if (!dialog) return;
  KillTimer(nullptr, timer);
  dialogAction(dialog);
}

class RemoveTransKey : public EditorTest {
 protected:
  struct Row {
    std::string name, boneId, kr, krt;
    bool ticked;
  };
  std::vector<Row> rows;

  // Opens the dialog, records its rows, sets the ticks and presses `button`.
  void Run(int button, std::function<void(HWND list)> tick = nullptr) {
    dialogAction = [&](HWND dialog) {
      HWND list = GetDlgItem(dialog, IDC_REMOVE_TRANS_LIST);
      int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
      for (int row = 0; row < count; ++row) {
        auto text = [&](int column) {
          char buffer[32] = {};
          LVITEMA item{};
          item.iSubItem = column;
          item.pszText = buffer;
          item.cchTextMax = sizeof buffer;
          SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
          return std::string(buffer);
        };
        UINT state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
        rows.push_back({text(0), text(1), text(2), text(3), state == INDEXTOSTATEIMAGEMASK(2)});
      }
      if (tick) tick(list);
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    };
    SetTimer(nullptr, 0, 20, ActOnDialog);
    Command(ID_ANIM_REMOVE_TRANS_KEY);
  }

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
  Click(IDC_ANIMATION_LIST, 0);
  Click(IDC_ANIMATION_LIST, 2, true);
  Run(IDCANCEL);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].name, "bone3");
  EXPECT_EQ(rows[0].boneId, "3");
  EXPECT_EQ(rows[0].kr, "0");
  EXPECT_EQ(rows[0].krt, "2");
  EXPECT_TRUE(rows[0].ticked);
  EXPECT_EQ(rows[1].boneId, "0");
  EXPECT_EQ(rows[1].krt, "1");
  EXPECT_FALSE(rows[1].ticked);
  EXPECT_EQ(rows[2].boneId, "-2");
  EXPECT_EQ(rows[2].kr, "1");
  EXPECT_FALSE(rows[2].ticked);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager") << "Cancel changes nothing";
  EXPECT_EQ(State().package.animations[0].bones[0].keyType, kKeyKRT0);
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

TEST_F(RemoveTransKey, OkWithNothingTickedChangesNoTrackButMarksModified) {
  Start({WritePackage("walk.ifp", Bones({{{3, kKeyKRT0}}}))});
  Click(IDC_ANIMATION_LIST, 0);
  Run(IDOK, [](HWND list) {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(1);
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  });
  EXPECT_EQ(State().package.animations[0].bones[0].keyType, kKeyKRT0);
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
}

TEST_F(RemoveTransKey, WithoutASelectionTheListIsEmpty) {
  Start({WritePackage("walk.ifp", Bones({{{3, kKeyKRT0}}}))});
  Run(IDCANCEL);
  EXPECT_TRUE(rows.empty());
}

}  // namespace
}  // namespace zam::test
