#include "anim/package_edits.h"

#include <gtest/gtest.h>

namespace zam {
namespace {

BoneTrack Track(const char* name, int32_t boneId, uint32_t keyType) {
  BoneTrack track{};
  SetName(track.name, name);
  track.boneId = boneId;
  track.keyType = keyType;
  track.keys.resize(2, KeyFrame{});
  track.keys[1].translation[0] = 3.0f;
  return track;
}

Animation Named(const char* name, std::vector<BoneTrack> tracks) {
  Animation animation{};
  SetName(animation.name, name);
  animation.bones = std::move(tracks);
  return animation;
}

TEST(PackageEdits, CopiesAreDeepAndAppended) {
  AnimPackage package{};
  package.animations = {Named("a", {Track("x", 1, kKeyKRT0)}), Named("b", {})};
  EXPECT_EQ(AppendAnimationCopy(package, 0), 2);
  EXPECT_EQ(AppendAnimationCopy(package, 5), -1);
  package.animations[2].bones[0].keys[1].translation[0] = 9.0f;
  EXPECT_EQ(package.animations[0].bones[0].keys[1].translation[0], 3.0f);
  EXPECT_TRUE(RemoveAnimation(package, 0));
  EXPECT_EQ(NameText(package.animations[1].name), "a");
  EXPECT_EQ(package.animations[1].bones[0].keys[1].translation[0], 9.0f);
}

TEST(PackageEdits, RemovalKeepsOrderAndTheCurrentAnimation) {
  AnimPackage package{};
  package.animations = {Named("a", {}), Named("b", {}), Named("c", {})};
  EXPECT_TRUE(RemoveAnimation(package, 1));
  EXPECT_FALSE(RemoveAnimation(package, 2));
  EXPECT_EQ(NameText(package.animations[1].name), "c");
  EXPECT_EQ(CurrentAfterRemoval(2, 1), 1);
  EXPECT_EQ(CurrentAfterRemoval(1, 1), -1);
  EXPECT_EQ(CurrentAfterRemoval(0, 1), 0);
  EXPECT_EQ(CurrentAfterRemoval(-1, 0), -1);

  Animation animation = Named("t", {Track("x", 1, kKeyKR00), Track("y", 2, kKeyKR00)});
  EXPECT_TRUE(RemoveTrack(animation, 0));
  EXPECT_FALSE(RemoveTrack(animation, 1));
  EXPECT_EQ(animation.bones[0].boneId, 2);
}

TEST(RemoveTransKeyTally, GroupsBoneIdsInFirstMetOrderWithTheirCounts) {
  AnimPackage package{};
  package.animations = {
      Named("a", {Track("Bone3", 3, kKeyKRT0), Track("Root", 0, kKeyKRT0)}),
      Named("skip", {Track("Other", 9, kKeyKRT0)}),
      Named("b", {Track("B3", 3, kKeyKRT0), Track("Neg", -4, kKeyKR00), Track("Scaled", 7, kKeyKRTS)}),
  };
  // Name, id, KR00 and KRT0 counts, ticked: negative ids are unticked like the
  // root; KRTS counts in neither column.
  std::vector<std::string> rows;
  for (const BoneIdTally& row : TallyBoneIds(package, {0, 2}))
    rows.push_back(row.name + " " + std::to_string(row.boneId) + " " + std::to_string(row.kr00Count) + " " +
                   std::to_string(row.krt0Count) + (row.ticked ? " [x]" : " [ ]"));
  EXPECT_EQ(rows, (std::vector<std::string>{"Bone3 3 0 2 [x]", "Root 0 0 1 [ ]", "Neg -4 1 0 [ ]", "Scaled 7 0 0 [x]"}));
  EXPECT_TRUE(TallyBoneIds(package, {}).empty());
}

TEST(RemoveTransKey, ChangesOnlyTheFirstTrackOfEachIdAndKeepsKeys) {
  AnimPackage package{};
  package.animations = {Named("a", {Track("x", 3, kKeyKRT0), Track("x2", 3, kKeyKRT0), Track("s", 7, kKeyKRTS)}),
                        Named("b", {Track("y", 3, kKeyKRT0)})};
  RemoveTranslationKeys(package, {0}, {3, 7, 42});
  EXPECT_EQ(package.animations[0].bones[0].keyType, kKeyKR00);
  EXPECT_EQ(package.animations[0].bones[1].keyType, kKeyKRT0);
  EXPECT_EQ(package.animations[0].bones[2].keyType, kKeyKR00);
  EXPECT_EQ(package.animations[0].bones[0].keys[1].translation[0], 3.0f);
  EXPECT_EQ(package.animations[1].bones[0].keyType, kKeyKRT0) << "not selected";
}

}  // namespace
}  // namespace zam
