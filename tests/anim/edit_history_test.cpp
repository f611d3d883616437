#include "anim/edit_history.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "anim/package_edits.h"

namespace zam {
namespace {

BoneTrack Track(uint32_t keyType, size_t keyCount) {
  BoneTrack track{};
  track.keyType = keyType;
  track.keys.resize(keyCount);
  return track;
}

// Animations "a", "b", "c": animation i has a KRT0 track of i + 1 keys and a
// KRTS track of i + 2 keys, so where each record went can be told apart.
AnimPackage Start() {
  AnimPackage package{};
  package.format = kFormatANPK;
  SetName(package.name, "ped");
  for (size_t i = 0; i < 3; ++i) {
    Animation animation{};
    SetName(animation.name, std::string(1, static_cast<char>('a' + i)));
    animation.bones = {Track(kKeyKRT0, i + 1), Track(kKeyKRTS, i + 2)};
    package.animations.push_back(animation);
  }
  return package;
}

// "ped ANPK a:T1S2 ...": each track as R (KR00), T (KRT0) or S (KRTS) and its
// key count; " *" when the history reports unsaved changes.
std::string Describe(const AnimPackage& package, const EditHistory& history) {
  std::string text = NameText(package.name) + " " + FourCCText(package.format);
  for (const Animation& animation : package.animations) {
    text += " " + NameText(animation.name) + ":";
    for (const BoneTrack& track : animation.bones) {
      text += track.keyType == kKeyKR00 ? "R" : track.keyType == kKeyKRT0 ? "T" : "S";
      text += std::to_string(track.keys.size());
    }
  }
  return history.HasUnsavedChanges() ? text + " *" : text;
}

// One line of a script: ";" joins the changes of one step.
void RunLine(const std::string& line, AnimPackage& package, EditHistory& history) {
  std::istringstream words(line);
  std::string command, text;
  StepKind kind = StepKind::Edit;
  bool changed = false;
  int a = -1, t = -1;
  auto animation = [&] { return &package.animations[static_cast<size_t>(a)]; };
  while (words >> command) {
    bool edit = true;
    if (command == "undo" || command == "redo" || command == "save" || command == "clear" || command == ";") {
      edit = false;
      if (command == "undo") history.Undo(package);
      if (command == "redo") history.Redo(package);
      if (command == "save") history.MarkSaved();
      if (command == "clear") history.Clear();
    } else if (command == "copy" && words >> a) {
      history.AnimationInserted(package, AppendAnimationCopy(package, a));
    } else if (command == "remove" && words >> a) {
      history.RemoveAnimation(package, a);
    } else if (command == "removetrack" && words >> a >> t) {
      history.RemoveTrack(package, a, t);
    } else if (command == "rename" && words >> a >> text) {
      Animation before = *animation();
      SetName(animation()->name, text);
      history.AnimationChanged(package, a, std::move(before));
    } else if ((command == "kr00" || command == "krt0") && words >> a >> t) {
      BoneTrack& track = animation()->bones[static_cast<size_t>(t)];
      BoneTrack before = track;
      track.keyType = command == "kr00" ? kKeyKR00 : kKeyKRT0;
      history.TrackChanged(package, a, t, std::move(before));
    } else if ((command == "type" || command == "layout") && words >> text) {
      PackageHeader before = HeaderOf(package);
      if (command == "type") SetName(package.name, text);
      if (command == "layout") package.format = text == "ANP3" ? kFormatANP3 : kFormatANPK;
      history.HeaderChanged(before);
      kind = command == "type" ? StepKind::Typing : StepKind::Layout;
    } else {
      FAIL() << "bad script line: " << line;
    }
    changed = changed || edit;
  }
  if (changed) history.EndStep(kind, {}, {});
}

struct Line {
  const char* command;
  const char* expected;
};

struct Sequence {
  const char* what;
  std::vector<Line> lines;
};

TEST(EditHistory, SequencesOfEditsUndoAndRedo) {
  const std::vector<Sequence> sequences = {
      {"each kind of edit, undone and redone",
       {{"remove 1", "ped ANPK a:T1S2 c:T3S4 *"},
        {"copy 0", "ped ANPK a:T1S2 c:T3S4 a:T1S2 *"},
        {"undo", "ped ANPK a:T1S2 c:T3S4 *"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4"},
        {"redo", "ped ANPK a:T1S2 c:T3S4 *"},
        {"rename 1 z", "ped ANPK a:T1S2 z:T3S4 *"},
        {"redo", "ped ANPK a:T1S2 z:T3S4 *"},
        {"removetrack 0 0 ; kr00 0 0", "ped ANPK a:R2 z:T3S4 *"},
        {"krt0 1 1", "ped ANPK a:R2 z:T3T4 *"},
        {"undo", "ped ANPK a:R2 z:T3S4 *"},
        {"undo", "ped ANPK a:T1S2 z:T3S4 *"},
        {"undo", "ped ANPK a:T1S2 c:T3S4 *"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4"},
        {"redo redo redo redo", "ped ANPK a:R2 z:T3T4 *"}}},
      {"one step removes rows 0 and 2; its undo puts both back in place",
       {{"remove 0 ; remove 1", "ped ANPK b:T2S3 *"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4"},
        {"redo", "ped ANPK b:T2S3 *"}}},
      {"typing in a row is one step; a layout switch is no unsaved change by itself",
       {{"type p", "p ANPK a:T1S2 b:T2S3 c:T3S4 *"},
        {"type pa", "pa ANPK a:T1S2 b:T2S3 c:T3S4 *"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4"},
        {"layout ANP3", "ped ANP3 a:T1S2 b:T2S3 c:T3S4"},
        {"type x", "x ANP3 a:T1S2 b:T2S3 c:T3S4 *"},
        {"layout ANPK", "x ANPK a:T1S2 b:T2S3 c:T3S4 *"},
        {"type xy", "xy ANPK a:T1S2 b:T2S3 c:T3S4 *"},
        {"undo undo", "x ANP3 a:T1S2 b:T2S3 c:T3S4 *"},
        {"undo", "ped ANP3 a:T1S2 b:T2S3 c:T3S4"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4"}}},
      {"typing after a save starts a new step",
       {{"type p", "p ANPK a:T1S2 b:T2S3 c:T3S4 *"},
        {"save", "p ANPK a:T1S2 b:T2S3 c:T3S4"},
        {"type pq", "pq ANPK a:T1S2 b:T2S3 c:T3S4 *"},
        {"undo", "p ANPK a:T1S2 b:T2S3 c:T3S4"}}},
      {"a save keeps the history and moves the saved state",
       {{"rename 0 x", "ped ANPK x:T1S2 b:T2S3 c:T3S4 *"},
        {"save", "ped ANPK x:T1S2 b:T2S3 c:T3S4"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4 *"},
        {"redo", "ped ANPK x:T1S2 b:T2S3 c:T3S4"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4 *"},
        {"rename 0 y", "ped ANPK y:T1S2 b:T2S3 c:T3S4 *"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4 *"}}},
      {"clearing forgets every step, and the package counts as saved",
       {{"remove 0", "ped ANPK b:T2S3 c:T3S4 *"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4"},
        {"clear redo", "ped ANPK a:T1S2 b:T2S3 c:T3S4"},
        {"remove 2", "ped ANPK a:T1S2 b:T2S3 *"},
        {"clear", "ped ANPK a:T1S2 b:T2S3"},
        {"undo", "ped ANPK a:T1S2 b:T2S3"}}},
      {"changes naming nothing are not recorded; the step still counts",
       {{"remove 7 ; removetrack 0 5 ; removetrack 4 0", "ped ANPK a:T1S2 b:T2S3 c:T3S4 *"},
        {"undo", "ped ANPK a:T1S2 b:T2S3 c:T3S4"}}},
  };
  for (const Sequence& sequence : sequences) {
    SCOPED_TRACE(sequence.what);
    AnimPackage package = Start();
    EditHistory history;
    for (const Line& line : sequence.lines) {
      RunLine(line.command, package, history);
      EXPECT_EQ(Describe(package, history), line.expected) << "after " << line.command;
    }
  }
}

TEST(EditHistory, UndoAndRedoGiveBackWhatTheWindowShowedAndTheRecordsTheyTouched) {
  using Kind = SteppedChange::Kind;
  AnimPackage package = Start();
  EditHistory history;
  history.RemoveTrack(package, 0, 1);
  history.RemoveAnimation(package, 2);
  history.AnimationInserted(package, AppendAnimationCopy(package, 1));
  PackageHeader header = HeaderOf(package);
  package.format = kFormatANP3;
  history.HeaderChanged(header);
  history.EndStep(StepKind::Edit, {2, {0, 2}, {1}}, {-1, {}, {}});

  std::optional<SteppedState> before = history.Undo(package);
  ASSERT_TRUE(before);
  EXPECT_EQ(std::tie(before->selection.currentAnimation, before->selection.animations, before->selection.tracks),
            std::make_tuple(2, std::vector<int>{0, 2}, std::vector<int>{1}));
  // In the order they were undone, each at the index of its moment.
  EXPECT_EQ(before->changes, (std::vector<SteppedChange>{
                                 {Kind::Changed, -1, -1}, {Kind::Removed, 2, -1}, {Kind::Inserted, 2, -1},
                                 {Kind::Inserted, 0, 1}}));
  EXPECT_FALSE(history.Undo(package));

  std::optional<SteppedState> after = history.Redo(package);
  ASSERT_TRUE(after);
  EXPECT_EQ(after->selection.currentAnimation, -1);
  EXPECT_EQ(after->changes, (std::vector<SteppedChange>{
                                {Kind::Removed, 0, 1}, {Kind::Removed, 2, -1}, {Kind::Inserted, 2, -1},
                                {Kind::Changed, -1, -1}}));
  EXPECT_FALSE(history.Redo(package));
}

TEST(EditHistory, KeepsTheLastHundredStepsAndForgetsTheSavedStateBeyondThem) {
  AnimPackage package = Start();
  EditHistory history;
  for (int i = 1; i <= 101; ++i) {
    Animation before = package.animations[0];
    SetName(package.animations[0].name, "r" + std::to_string(i));
    history.AnimationChanged(package, 0, std::move(before));
    history.EndStep(StepKind::Edit, {}, {});
  }
  int undone = 0;
  while (history.Undo(package)) ++undone;
  EXPECT_EQ(undone, 100);
  EXPECT_EQ(NameText(package.animations[0].name), "r1");
  EXPECT_TRUE(history.HasUnsavedChanges()) << "the opened state went with the oldest step";
}

TEST(EditHistory, BoundsTheBytesItHoldsOldestFirst) {
  // Each step holds a track of 1000 keys, 44 000 bytes: two fit in 100 000.
  AnimPackage package = Start();
  package.animations[0].bones[0] = Track(kKeyKRT0, 1000);
  EditHistory history(100000);
  for (int i = 0; i < 3; ++i) {
    BoneTrack before = package.animations[0].bones[0];
    package.animations[0].bones[0].keyType = i % 2 ? kKeyKRT0 : kKeyKR00;
    history.TrackChanged(package, 0, 0, std::move(before));
    history.EndStep(StepKind::Edit, {}, {});
  }
  EXPECT_TRUE(history.Undo(package));
  EXPECT_TRUE(history.Undo(package));
  EXPECT_FALSE(history.Undo(package));
  EXPECT_EQ(package.animations[0].bones[0].keyType, kKeyKR00) << "the state after the first step";

  // A step larger than the whole bound is not kept at all.
  EditHistory small(1000);
  small.RemoveAnimation(package, 0);
  small.EndStep(StepKind::Edit, {}, {});
  EXPECT_FALSE(small.CanUndo());
  EXPECT_TRUE(small.HasUnsavedChanges());
}

}  // namespace
}  // namespace zam
