// The package check: its dialog, and the question before a save that would
// clamp values the layout cannot hold.

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "real_input.h"
#include "resource.h"

namespace zam::test {
namespace {

using CheckPackage = EditorTest;

TEST_F(CheckPackage, ListsTheFindingsAndADoubleClickShowsTheirTrack) {
  AnimPackage package = TestPackage(kFormatANPK, 3);
  package.animations[2].bones[1].boneId = 0;  // the root's id
  Start({WritePackage("walk.ifp", package)});
  std::vector<std::string> rows;
  DialogDriver driver("Check Package");
  driver.Then([&](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_CHECK_LIST);
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
      std::string text;
      for (int column = 0; column < 3; ++column) {
        char buffer[64] = {};
        ListView_GetItemText(list, row, column, buffer, sizeof buffer);
        text += (column ? "|" : "") + std::string(buffer);
      }
      rows.push_back(text);
    }
    RECT cell{};
    cell.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&cell));
    POINT at{cell.left + 8, (cell.top + cell.bottom) / 2};
    ClientToScreen(list, &at);
    SendClick(at, Button::Left, {}, 2);
    PumpFor(300);
    ClickButton(dialog, IDCANCEL);
  });
  Command(ID_IFP_CHECK);
  EXPECT_EQ(driver.pending(), 0u);
  EXPECT_EQ(rows, (std::vector<std::string>{"anim0|Root|", "anim1|Root|", "anim2|Spine|", "anim2|Root|"}));
  EXPECT_TRUE(Selected(IDC_ANIMATION_LIST, 2)) << "the double-clicked finding's animation";
  EXPECT_FALSE(Selected(IDC_ANIMATION_LIST, 0));
  EXPECT_EQ(Model().currentAnimation(), 2);
  EXPECT_EQ(Model().selectedTracks(), std::vector<int>{1});
  EXPECT_TRUE(Selected(IDC_BONE_LIST, 1)) << "and its track";
}

TEST_F(CheckPackage, ASaveThatWouldClampAsksFirstAndCancelWritesNothing) {
  AnimPackage package = TestPackage(kFormatANPK, 2);
  package.animations[1].bones[0].keys[1].translation[0] = 40.0f;  // beyond ANP3's 32 m
  std::string path = WritePackage("walk.ifp", package);
  const std::vector<uint8_t> before = ReadFile(path);
  Start({path});
  SendDlgItemMessageA(window_, IDC_LAYOUT_BOX, CB_SETCURSEL, 1, 0);
  ControlCommand(IDC_LAYOUT_BOX, CBN_SELCHANGE);
  prompts_.answers = {IDCANCEL};
  Command(ID_IFP_SAVE);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text,
            "1 values of this package lie beyond what the layout's compressed keys hold (translations in [-32, 32) m, "
            "times up to 546.1 s, rotations in [-8, 8)). Saving stores the nearest values they hold.\nSave anyway? "
            "The first is in:\nanimation \"anim1\", track \"Root\"");
  EXPECT_EQ(prompts_.messages[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
  EXPECT_EQ(ReadFile(path), before) << "Cancel writes nothing";

  prompts_.answers = {IDOK};
  Command(ID_IFP_SAVE);
  AnimPackage saved = ReadPackage(path);
  EXPECT_EQ(saved.format, kFormatANP3);
  EXPECT_LT(saved.animations[1].bones[0].keys[1].translation[0], 32.0f) << "OK saves the nearest value held";
}

TEST_F(CheckPackage, AnAnp2PackageShowsItsLayoutAndIsSavedAsAnp2) {
  AnimPackage package = TestPackage(kFormatANP2, 1);
  package.animations[0].bones[1].keyType = kKeyKRT0;
  std::string path = WritePackage("walk.ifp", package);
  const std::vector<uint8_t> before = ReadFile(path);
  Start({path});
  EXPECT_EQ(Text(IDC_LAYOUT_BOX), "ANP2");
  Command(ID_IFP_SAVE);
  EXPECT_EQ(ReadFile(path), before) << "saved back as read";
}

}  // namespace
}  // namespace zam::test
