// Packages opened with options: dropped on the window or named on the
// command line after the first, each offered in the Opening Option dialog.

#include <shlobj.h>

#include <cmath>
#include <cstring>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "dialog_driver.h"
#include "editor_fixture.h"
#include "resource.h"
#include "support/package_matchers.h"

namespace zam::test {
namespace {

// An animation whose `tracks` tracks (bone ids 0, 1, ...) end at `end`
// seconds, each key turned a little differently.
Animation Anim(const std::string& name, int tracks, float end) {
  Animation animation{};
  SetName(animation.name, name);
  for (int t = 0; t < tracks; ++t) {
    BoneTrack track{};
    SetName(track.name, "bone" + std::to_string(t));
    track.boneId = t;
    track.keyType = kKeyKRT0;
    KeyFrame first{}, last{};
    first.rotation[3] = 1.0f;
    last.rotation[2] = 0.6f;
    last.rotation[3] = 0.8f;
    last.translation[0] = static_cast<float>(t) + end;
    last.time = end;
    track.keys = {first, last};
    animation.bones.push_back(track);
  }
  return animation;
}

AnimPackage Package(std::vector<Animation> animations, uint32_t format = kFormatANPK) {
  AnimPackage package{};
  package.format = format;
  SetName(package.name, "ped");
  package.animations = std::move(animations);
  return package;
}

class OpeningOption : public EditorTest {
 protected:
  struct Shown {
    std::string file;
    std::vector<std::string> rows;  // "[x] name" or "[ ] name"
    bool appendChecked;
  };

  // Answers the next dialog: sets the check marks when given, picks the
  // mode and presses `button`.
  void Answer(int button, int mode = IDC_OPENING_APPEND, std::vector<bool> checks = {}) {
    driver_.Then([this, button, mode, checks](HWND dialog) {
      Record(dialog);
      HWND list = GetDlgItem(dialog, IDC_OPENING_LIST);
      for (size_t row = 0; row < checks.size(); ++row) {
        ListView_SetCheckState(list, static_cast<int>(row), checks[row] ? TRUE : FALSE);
      }
      ClickButton(dialog, mode);
      listEnabled_ = IsWindowEnabled(list) != FALSE;
      ClickButton(dialog, button);
    });
  }

  void Record(HWND dialog) {
    Shown shown;
    char text[MAX_PATH] = {};
    GetDlgItemTextA(dialog, IDC_OPENING_FILE, text, sizeof text);
    shown.file = text;
    HWND list = GetDlgItem(dialog, IDC_OPENING_LIST);
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
      char name[32] = {};
      ListView_GetItemText(list, row, 0, name, sizeof name);
      shown.rows.push_back(std::string(ListView_GetCheckState(list, row) ? "[x] " : "[ ] ") + name);
    }
    shown.appendChecked = IsDlgButtonChecked(dialog, IDC_OPENING_APPEND) == BST_CHECKED;
    shown_.push_back(shown);
  }

  // Drops `paths` on the main window as the shell would; returns the drop,
  // which the window must have finished (freed).
  HGLOBAL Drop(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL drop = GlobalAlloc(GHND, size);
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    char* text = reinterpret_cast<char*>(files + 1);
    for (const std::string& path : paths) {
      std::memcpy(text, path.c_str(), path.size() + 1);
      text += path.size() + 1;
    }
    GlobalUnlock(drop);
    SendMessageA(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    Pump();
    return drop;
  }

  // The animation list's rows: name and frames.
  std::vector<std::string> AnimationRows() const {
    std::vector<std::string> rows;
    for (int row = 0; row < Rows(IDC_ANIMATION_LIST); ++row) {
      rows.push_back(Cell(IDC_ANIMATION_LIST, row, 0) + " " + Cell(IDC_ANIMATION_LIST, row, 1));
    }
    return rows;
  }

  void ExpectEveryDialogAnswered() {
    EXPECT_EQ(driver_.pending(), 0u);
    EXPECT_EQ(driver_.unexpected(), 0);
  }

  DialogDriver driver_{"Opening Option"};
  std::vector<Shown> shown_;
  bool listEnabled_ = true;
};

TEST_F(OpeningOption, ADroppedFileIsOfferedWithItsNewNamesChecked) {
  Start({WritePackage("a.ifp", Package({Anim("walk", 1, 1.0f)}))});
  std::string path = WritePackage("b.ifp", Package({Anim("WALK", 1, 0.5f), Anim("jump", 2, 1.5f)}));
  driver_.Then([this](HWND dialog) {
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "Opening Option");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), window_);
    DWORD extended = ListView_GetExtendedListViewStyle(GetDlgItem(dialog, IDC_OPENING_LIST));
    EXPECT_TRUE(extended & LVS_EX_CHECKBOXES);
    Record(dialog);
    // Escape is Skip.
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  });
  HGLOBAL drop = Drop({path});
  ExpectEveryDialogAnswered();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].file, "b.ifp");
  EXPECT_TRUE(shown_[0].appendChecked);
  EXPECT_EQ(shown_[0].rows, (std::vector<std::string>{"[ ] WALK", "[x] jump"}))
      << "a name the document has, in any case, starts unchecked";
  EXPECT_EQ(AnimationRows(), (std::vector<std::string>{"walk 60"}));
  EXPECT_EQ(Title(), "a.ifp - Zelcor Animation Manager");
  EXPECT_EQ(GlobalSize(drop), 0u) << "the drop is finished";
}

// Append on the first file, Replace on the second (the current animation
// among those replaced), Skip All on the third: the fourth is not offered.
TEST_F(OpeningOption, DroppedFilesAreAppendedReplacedAndSkipped) {
  std::string a =
      WritePackage("a.ifp", Package({Anim("walk", 1, 1.0f), Anim("idle", 2, 2.0f), Anim("run", 1, 0.5f)}));
  std::string b = WritePackage("b.ifp", Package({Anim("IDLE", 3, 1.0f), Anim("jump", 2, 1.5f)}, kFormatANP3));
  std::string c =
      WritePackage("c.ifp", Package({Anim("Idle", 5, 0.25f), Anim("walk", 4, 3.0f), Anim("swim", 1, 1.0f)}));
  std::string d = WritePackage("d.ifp", Package({Anim("idle", 1, 1.0f)}));
  std::string e = WritePackage("e.ifp", Package({Anim("sit", 1, 1.0f)}));
  AnimPackage fromA = ReadPackage(a), fromB = ReadPackage(b), fromC = ReadPackage(c);
  Start({a});
  Click(IDC_ANIMATION_LIST, 1);
  ASSERT_EQ(Rows(IDC_BONE_LIST), 2);

  Answer(IDOK, IDC_OPENING_APPEND);
  Answer(IDOK, IDC_OPENING_REPLACE, {true, false, true});
  Answer(IDC_SKIP_ALL);
  HGLOBAL drop = Drop({b, c, d, e});
  ExpectEveryDialogAnswered();
  ASSERT_EQ(shown_.size(), 3u);
  EXPECT_EQ(shown_[0].rows, (std::vector<std::string>{"[ ] IDLE", "[x] jump"}));
  EXPECT_EQ(shown_[1].rows, (std::vector<std::string>{"[ ] Idle", "[ ] walk", "[x] swim"}));
  EXPECT_EQ(shown_[2].file, "d.ifp");
  EXPECT_EQ(GlobalSize(drop), 0u) << "the drop is finished";

  EXPECT_EQ(AnimationRows(), (std::vector<std::string>{"walk 60", "Idle 15", "run 30", "jump 90"}));
  EXPECT_EQ(Title(), "a.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(Model().currentAnimation(), 1) << "the merges keep the current animation";
  EXPECT_EQ(Rows(IDC_BONE_LIST), 5) << "the replaced current animation shows its new tracks";
  EXPECT_EQ(Text(IDC_FRAME_COUNT), "15");

  Command(ID_IFP_SAVE);
  AnimPackage expected = fromA;
  expected.animations = {fromA.animations[0], fromC.animations[0], fromA.animations[2], fromB.animations[1]};
  EXPECT_TRUE(SamePackage(expected, ReadPackage(a)));
}

TEST_F(OpeningOption, OpenAsksFirstWhenTheDocumentHasUnsavedChanges) {
  Start({WritePackage("a.ifp", Package({Anim("walk", 1, 1.0f), Anim("idle", 2, 2.0f)}))});
  Rename(IDC_ANIMATION_LIST, 0, "stroll");
  std::string b = WritePackage("b.ifp", Package({Anim("jump", 2, 1.5f)}, kFormatANP3));

  Answer(IDOK, IDC_OPENING_OPEN);
  prompts_.answers = {IDCANCEL};
  Drop({b});
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "Current editing will be lost.\nDo you want to continue?");
  EXPECT_FALSE(listEnabled_) << "Open takes every animation: the marks are out of play";
  EXPECT_EQ(Title(), "a.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(AnimationRows(), (std::vector<std::string>{"stroll 60", "idle 120"}));

  Answer(IDOK, IDC_OPENING_OPEN);
  prompts_.answers = {IDOK};
  Drop({b});
  ExpectEveryDialogAnswered();
  EXPECT_EQ(prompts_.messages.size(), 2u);
  EXPECT_EQ(Title(), "b.ifp - Zelcor Animation Manager");
  EXPECT_EQ(Model().document().documentDirectory, dir_ + "\\");
  EXPECT_EQ(Model().package().format, kFormatANP3);
  EXPECT_EQ(AnimationRows(), (std::vector<std::string>{"jump 90"}));
  EXPECT_EQ(Model().currentAnimation(), -1);
  EXPECT_EQ(Rows(IDC_BONE_LIST), 0);
}

// Each unreadable file says why once and is not offered; a cut one offers
// what it holds.
TEST_F(OpeningOption, UnreadableFilesInADropAreReportedAndSkipped) {
  Start({WritePackage("a.ifp", Package({Anim("walk", 1, 1.0f)}))});
  std::string b = WritePackage("b.ifp", Package({Anim("jump", 2, 1.5f)}));
  WriteFile(Path("notes.txt"), {'R', 'I', 'F', 'F', 0, 0, 0, 0});
  std::vector<uint8_t> whole;
  WriteIfp(Package({Anim("a0", 2, 1.0f), Anim("a1", 2, 1.0f), Anim("a2", 2, 1.0f), Anim("a3", 2, 1.0f)}), whole);
  whole.resize(whole.size() / 2);
  WriteFile(Path("cut.ifp"), whole);
  AnimPackage cut{};
  ASSERT_EQ(ReadIfp(whole.data(), whole.size(), cut), IfpReadStatus::Truncated);

  Answer(IDOK);
  Answer(IDOK);
  Drop({b, Path("notes.txt"), Path("cut.ifp"), Path("missing.ifp")});
  ExpectEveryDialogAnswered();
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[1].file, "cut.ifp");
  EXPECT_EQ(static_cast<int>(shown_[1].rows.size()), cut.animationCount());
  std::vector<std::string> texts;
  for (const FakePrompts::Shown& shown : prompts_.messages) texts.push_back(shown.text);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_TRUE(CannotOpenWithReason(texts.back())) << texts.back();
  texts.pop_back();
  EXPECT_EQ(texts, (std::vector<std::string>{"Unknown Format String.",
                                             "The file ends early: only what it holds was read.\nAnimations read: " +
                                                 std::to_string(cut.animationCount())}));
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 2 + cut.animationCount());
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 1, 0), "jump");
}

// A damaged file opened with options is offered with what was read; taken
// as the document, it is not saved over itself unasked either.
TEST_F(OpeningOption, ADamagedFileTakenAsTheDocumentIsNotSavedOverItself) {
  Start({WritePackage("a.ifp", Package({Anim("walk", 1, 1.0f)}))});
  std::vector<uint8_t> damaged;
  WriteIfp(Package({Anim("a0", 2, 1.0f), Anim("a1", 2, 1.0f)}, kFormatANP3), damaged);
  const int32_t negative = -2;
  std::memcpy(damaged.data() + 36 + 24, &negative, 4);  // the first animation's track count
  WriteFile(Path("damaged.ifp"), damaged);

  Answer(IDOK, IDC_OPENING_OPEN);
  prompts_.chosenPaths = {""};
  Drop({Path("damaged.ifp")});
  ExpectEveryDialogAnswered();
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text,
            "The file is damaged: it declares a negative count. Only what comes before it was read.\n"
            "Animations read: 1");
  EXPECT_EQ(Title(), "damaged.ifp - Zelcor Animation Manager");
  EXPECT_EQ(AnimationRows(), (std::vector<std::string>{"a0 0"})) << "the animation without its tracks";
  Command(ID_IFP_SAVE);
  EXPECT_EQ(prompts_.fileDialogs.size(), 1u) << "Save asks where to write it";
  EXPECT_EQ(ReadFile(Path("damaged.ifp")), damaged);
}

TEST_F(OpeningOption, CommandLineFilesAfterTheFirstAreOffered) {
  std::string a = WritePackage("a.ifp", Package({Anim("walk", 1, 1.0f), Anim("idle", 2, 2.0f)}));
  std::string b = WritePackage("b.ifp", Package({Anim("jump", 2, 1.5f)}));
  std::string c = WritePackage("c.ifp", Package({Anim("WALK", 3, 0.5f)}));
  Answer(IDOK, IDC_OPENING_APPEND);
  Answer(IDOK, IDC_OPENING_REPLACE, {true});
  Start({a, b, c});
  ExpectEveryDialogAnswered();
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[0].file, "b.ifp");
  EXPECT_EQ(shown_[1].file, "c.ifp");
  EXPECT_EQ(Title(), "a.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(AnimationRows(), (std::vector<std::string>{"WALK 30", "idle 120", "jump 90"}));
}

// The focused item plays on the shared play head, from 0 whenever the focus
// moves; the mouse turns the camera only over the preview area.
TEST_F(OpeningOption, PreviewFollowsTheFocusedItemAndTheMouse) {
  Start({WritePackage("a.ifp", Package({Anim("walk", 1, 1.0f)}))});
  std::string b = WritePackage("b.ifp", Package({Anim("long", 1, 10.0f), Anim("jump", 2, 1.5f)}));
  float played = 0.0f, restarted = 0.0f, yaw = 0.0f, yawOutside = 0.0f;
  const std::vector<uint32_t> mainBefore = Capture(Item(IDC_PREVIEW));
  std::vector<uint32_t> mainDuringDialog;
  driver_.Then([&](HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_OPENING_LIST);
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    PumpFor(300);
    played = Model().playHead().currentTime;
    // The main preview, painted meanwhile, shows its own last frame.
    SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RedrawWindow(Item(IDC_PREVIEW), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    mainDuringDialog = Capture(Item(IDC_PREVIEW));
    Main().editor.sharedPreviewTime() = 9.0f;
    ListView_SetItemState(list, 1, LVIS_FOCUSED, LVIS_FOCUSED);
    PumpFor(50);
    restarted = Model().playHead().currentTime;

    RECT area;
    GetWindowRect(GetDlgItem(dialog, IDC_OPENING_PREVIEW), &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    int x = (area.left + area.right) / 2, y = (area.top + area.bottom) / 2;
    SendMessageA(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageA(dialog, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(x + 30, y));
    yaw = Model().camera().cameraYaw;
    SendMessageA(dialog, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(5, 5));  // over the file name
    yawOutside = Model().camera().cameraYaw;
    ClickButton(dialog, IDCANCEL);
  });
  Drop({b});
  ExpectEveryDialogAnswered();
  EXPECT_GT(played, 0.1f);
  EXPECT_LT(played, 5.0f);
  EXPECT_LT(restarted, 1.0f) << "another item starts from 0";
  EXPECT_NEAR(std::fabs(yaw), 30.0f * 3.14159265f / 180.0f, 1e-4);
  EXPECT_EQ(yawOutside, yaw);
  EXPECT_TRUE(mainDuringDialog == mainBefore) << "the main preview showed something else than its last frame";
}

}  // namespace
}  // namespace zam::test
