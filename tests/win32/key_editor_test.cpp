// The key editor as a user drives it: a key chosen with the mouse in the key
// grid, its values typed into the panel, saved, and taken back with Ctrl+Z.

#include <cmath>

#include "editor_fixture.h"
#include "resource.h"
#include "support/package_matchers.h"

namespace zam::test {
namespace {

class KeyEditor : public EditorTest {
 protected:
  // Types `text` over what value box `id` shows (the box clicked first when
  // `click`), then Enter.
  void TypeOver(int id, const std::string& text, bool click = true) {
    if (click) ClickControl(id, {20, 8});
    Press({VK_HOME});
    Press({VK_SHIFT, VK_END});
    SendText(text);
    Settle();
    Press({VK_RETURN});
  }
};

TEST_F(KeyEditor, AKeyChosenWithTheMouseTakesTheValuesTyped) {
  const std::string path = WritePackage("walk.ifp", TestPackage(kFormatANP3, 1));
  const AnimPackage opened = ReadPackage(path);
  Start({path});
  Click(IDC_ANIMATION_LIST, 0);
  // The first key of the root's track: its box at the start of row 0.
  RECT row{};
  row.left = LVIR_LABEL;
  SendMessageA(Item(IDC_KEY_GRID), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  ClickControl(IDC_KEY_GRID, {row.left + 4, (row.top + row.bottom) / 2});
  ASSERT_EQ(Model().currentKey(), (KeyRef{0, 0}));
  EXPECT_TRUE(Selected(IDC_BONE_LIST, 0));
  EXPECT_EQ(Text(IDC_VALUE_H), "0.000");

  ClickControl(IDC_KEY_ROTATE, {4, 4});
  TypeOver(IDC_VALUE_H, "90");
  EXPECT_EQ(Text(IDC_VALUE_H), "90.000");
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");

  ClickControl(IDC_KEY_TRANS, {4, 4});
  TypeOver(IDC_VALUE_X, "five");
  EXPECT_EQ(Text(IDC_VALUE_X), "0.000") << "no number: the value shown before";
  TypeOver(IDC_VALUE_X, "5", false);
  EXPECT_EQ(Text(IDC_VALUE_X), "5.000");

  Click(IDC_ANIMATION_LIST, 0);  // the keys go to the lists again
  Press({VK_CONTROL, 'S'});
  AnimPackage saved = ReadPackage(path);
  const KeyFrame& key = saved.animations[0].bones[0].keys[0];
  EXPECT_NEAR(key.rotation[2], std::sqrt(0.5f), 1e-4f);  // Rz(90)
  EXPECT_NEAR(key.rotation[3], std::sqrt(0.5f), 1e-4f);
  EXPECT_EQ(key.translation[0], 5.0f);
  AnimPackage expected = opened;
  expected.animations[0].bones[0].keys[0] = key;
  EXPECT_TRUE(SamePackage(expected, saved)) << "every other value unchanged";

  // Typed keys can arrive late on a busy machine: each undo is waited for.
  auto translationX = [this] { return Model().package().animations[0].bones[0].keys[0].translation[0]; };
  Press({VK_CONTROL, 'Z'});
  for (int wait = 0; wait < 100 && translationX() != opened.animations[0].bones[0].keys[0].translation[0]; ++wait) {
    Settle(50);
  }
  Press({VK_CONTROL, 'Z'});
  for (int wait = 0; wait < 100 && !SamePackage(opened, Model().package()); ++wait) Settle(50);
  EXPECT_TRUE(SamePackage(opened, Model().package()));
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager") << "the save holds the new values";
}

}  // namespace
}  // namespace zam::test
