// Key editing on the editor's model: choosing keys, their values, inserting,
// deleting and retiming them, each an undo step.

#include <gtest/gtest.h>

#include <cmath>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "editor_model_fixture.h"
#include "preview/pose.h"
#include "support/package_matchers.h"

namespace zam {
namespace {

using test::EditorTest;

KeyFrame Key(float time, float turn, float x) {
  KeyFrame key{};
  key.rotation[2] = std::sin(turn / 2);
  key.rotation[3] = std::cos(turn / 2);
  key.translation[0] = x;
  key.time = time;
  return key;
}

// Track 0 (KRT0) has keys at frames 0, 30 and 60; track 1 (KR00) at 0 and 45;
// track 2 has none.
AnimPackage KeyedPackage() {
  AnimPackage package = test::TestPackage(kFormatANP3, 1);
  Animation& animation = package.animations[0];
  animation.bones.resize(3, animation.bones[0]);
  animation.bones[0].keyType = kKeyKRT0;
  animation.bones[0].keys = {Key(0.0f, 0.0f, 0.0f), Key(0.5f, 1.0f, 1.0f), Key(1.0f, 2.0f, 3.0f)};
  animation.bones[1].keyType = kKeyKR00;
  animation.bones[1].keys = {Key(0.0f, 0.5f, 0.0f), Key(0.75f, -0.5f, 0.0f)};
  animation.bones[2].keys.clear();
  return package;
}

class KeyEditing : public EditorTest {
 protected:
  void SetUp() override {
    Open(KeyedPackage());
    Select({0});
  }
  const BoneTrack& Track(int t) { return editor_.package().animations[0].bones[static_cast<size_t>(t)]; }
};

TEST_F(KeyEditing, ChoosingAKeySelectsItsTrackAndMovesThePlayHead) {
  editor_.TogglePlayback();
  EditorChanges changes = editor_.SelectKey(0, 1);
  EXPECT_EQ(editor_.currentKey(), (KeyRef{0, 1}));
  EXPECT_EQ(editor_.selectedTracks(), std::vector<int>{0});
  EXPECT_EQ(editor_.CurrentFrame(), 30);
  EXPECT_FALSE(editor_.playing());
  EXPECT_TRUE(changes.currentKey && changes.selection && changes.playHead);

  editor_.StepKey(KeyStep::Next);
  EXPECT_EQ(editor_.currentKey(), (KeyRef{0, 2}));
  EXPECT_FALSE(editor_.StepKey(KeyStep::Next).currentKey) << "no key after the last";
  editor_.StepKey(KeyStep::Previous);
  editor_.StepKey(KeyStep::TrackBelow);  // the key of track 1 nearest frame 30 is frame 45's
  EXPECT_EQ(editor_.currentKey(), (KeyRef{1, 1}));
  EXPECT_FALSE(editor_.StepKey(KeyStep::TrackBelow).currentKey) << "track 2 has no key";
  editor_.StepKey(KeyStep::TrackAbove);  // frames 30 and 60 lie as near to 45: the earlier
  EXPECT_EQ(editor_.currentKey(), (KeyRef{0, 1}));

  editor_.SelectKey(1, -1);
  EXPECT_EQ(editor_.currentKey().track, -1);
  EXPECT_FALSE(editor_.CurrentKeyValues());
  editor_.SelectKey(0, 0);
  Select({0});  // the tracks are shown again: no key is current
  EXPECT_EQ(editor_.currentKey().track, -1);
}

// The done-when flow of the key editor, on the model: a heading of 90 and x
// of 5 on the first key, each one step, saved exactly, and undone.
TEST_F(KeyEditing, ValuesAreTypedAsHeadingPitchRollAndTranslation) {
  const AnimPackage opened = editor_.package();
  editor_.SelectKey(0, 0);
  KeyValues values = *editor_.CurrentKeyValues();
  EXPECT_TRUE(values.hasTranslation);
  EXPECT_EQ(values.rotation.heading, 0.0);

  EditorChanges changes = editor_.SetKeyRotation({90.0, 0.0, 0.0});
  EXPECT_TRUE(changes.currentKey && changes.preview && changes.title);
  editor_.SetKeyTranslation(0, 5.0f);
  values = *editor_.CurrentKeyValues();
  EXPECT_NEAR(values.rotation.heading, 90.0, 1e-4);
  EXPECT_EQ(values.translation.x, 5.0f);
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  editor_.Save();
  const KeyFrame saved = Saved("walk.ifp").animations[0].bones[0].keys[0];
  EXPECT_NEAR(saved.rotation[2], std::sqrt(0.5f), 1e-4f);  // ANP3 keeps rotations to 1/4096
  EXPECT_NEAR(saved.rotation[3], std::sqrt(0.5f), 1e-4f);
  EXPECT_EQ(saved.translation[0], 5.0f);
  EXPECT_EQ(saved.translation[1], 0.0f);

  editor_.Undo();
  editor_.Undo();
  EXPECT_TRUE(test::SamePackage(opened, editor_.package()));

  // A track without translations shows the model's offset and takes none.
  editor_.SelectKey(1, 0);
  EXPECT_FALSE(editor_.CurrentKeyValues()->hasTranslation);
  EXPECT_FALSE(editor_.SetKeyTranslation(0, 2.0f).title);
}

TEST_F(KeyEditing, InsertedKeysKeepThePoseAndDeletionKeepsTheLastKey) {
  editor_.SeekFrame(15);
  SelectTracks({0, 1, 2});
  const AnimPackage before = editor_.package();
  EditorChanges changes = editor_.InsertKeys();
  EXPECT_TRUE(changes.keys && changes.title);
  ASSERT_EQ(Track(0).keyCount(), 4);
  EXPECT_EQ(Track(0).keys[1].time, 0.25f);
  EXPECT_EQ(Track(1).keyCount(), 3);
  EXPECT_EQ(Track(2).keyCount(), 0) << "a track without keys has no pose to keep";
  for (int t = 0; t < 2; ++t) {
    for (float time : {0.0f, 0.1f, 0.25f, 0.4f, 0.6f, 1.0f}) {
      KeyFrame was = InterpolateTrack(before.animations[0].bones[static_cast<size_t>(t)], time);
      KeyFrame now = InterpolateTrack(Track(t), time);
      // Slerp blends nearly equal rotations linearly: a part in ten thousand apart.
      for (int i = 0; i < 4; ++i) EXPECT_NEAR(was.rotation[i], now.rotation[i], 1e-4f) << t << " at " << time;
      EXPECT_NEAR(was.translation[0], now.translation[0], 1e-5f) << t << " at " << time;
    }
  }
  EXPECT_FALSE(editor_.InsertKeys().title) << "a key on that frame already";
  editor_.Undo();
  EXPECT_TRUE(test::SamePackage(before, editor_.package()));

  // The last key of a track with its length: deleting it shortens the animation.
  editor_.SelectKey(0, 2);
  changes = editor_.DeleteCurrentKey();
  EXPECT_EQ(Track(0).keyCount(), 2);
  EXPECT_EQ(editor_.FrameCount(), 45);
  EXPECT_EQ(changes.animationRows, (std::vector<RowChange>{{RowChange::Kind::Changed, 0}}));
  editor_.SelectKey(1, 1);
  editor_.DeleteCurrentKey();
  editor_.SelectKey(1, 0);
  EXPECT_FALSE(editor_.DeleteCurrentKey().title) << "a track keeps its last key";
  EXPECT_EQ(Track(1).keyCount(), 1);
}

// Times land on ticks, as the float the ANP3 reader makes of them: a save
// keeps them to the bit.
TEST_F(KeyEditing, ChangingTheSpeedScalesEveryKeyTimeOntoTicks) {
  const struct {
    double factor;
    float track0[3];
  } cases[] = {{2.0, {0.0f, 15.0f / 60.0f, 30.0f / 60.0f}},
               {0.5, {0.0f, 60.0f / 60.0f, 120.0f / 60.0f}},
               {3.0, {0.0f, 10.0f / 60.0f, 20.0f / 60.0f}},
               {1.3, {0.0f, 23.0f / 60.0f, 46.0f / 60.0f}},
               {1.7, {0.0f, 18.0f / 60.0f, 35.0f / 60.0f}}};  // 17.6 ticks go to the nearest
  for (const auto& c : cases) {
    SCOPED_TRACE(c.factor);
    EditorChanges changes = editor_.ChangeSpeed(c.factor);
    EXPECT_TRUE(changes.keys && changes.timeRange && changes.title);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(Track(0).keys[static_cast<size_t>(k)].time, c.track0[k]);
    std::vector<uint8_t> bytes;
    WriteIfp(editor_.package(), bytes);
    AnimPackage read{};
    ReadIfp(bytes.data(), bytes.size(), read);
    EXPECT_TRUE(test::SamePackage(editor_.package(), read));
    editor_.Undo();
    EXPECT_EQ(Track(0).keys[1].time, 0.5f) << "one step";
  }
  EXPECT_FALSE(editor_.ChangeSpeed(0.0).title);
  Select({});
  EXPECT_FALSE(editor_.ChangeSpeed(2.0).title) << "no animation selected";

  EXPECT_EQ(ParseSpeedFactor("2"), 2.0);
  EXPECT_EQ(ParseSpeedFactor(" 0.5 "), 0.5);
  EXPECT_EQ(ParseSpeedFactor("1.234"), 1.234);
  for (const char* refused : {"", "fast", "0", "-2", "1.2345", "12345", "1e400", "2x", "nan"}) {
    EXPECT_FALSE(ParseSpeedFactor(refused)) << refused;
  }
}

}  // namespace
}  // namespace zam
