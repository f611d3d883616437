#include "app/playback.h"

#include <gtest/gtest.h>

namespace zam {
namespace {

AnimPackage PackageLasting(float seconds) {
  AnimPackage package{};
  Animation animation{};
  BoneTrack track{};
  KeyFrame first{}, last{};
  last.time = seconds;
  track.keys = {first, last};
  animation.bones.push_back(track);
  package.animations.push_back(animation);
  return package;
}

TEST(PlayHeadButtons, StepByAFrameWithinTheAnimation) {
  const float length = 1.5f;
  PlayHead head;
  JumpPlayHeadToEnd(head, length);
  EXPECT_EQ(90, PlayHeadFrame(head));
  StepPlayHeadBack(head);
  EXPECT_EQ(89, PlayHeadFrame(head));
  JumpPlayHeadToEnd(head, length);
  StepPlayHeadForward(head, length);
  EXPECT_EQ(length, head.currentTime);

  RewindPlayHead(head);
  EXPECT_EQ(0.0f, head.currentTime);
  StepPlayHeadBack(head);
  EXPECT_EQ(0.0f, head.currentTime);
  StepPlayHeadForward(head, length);
  EXPECT_EQ(1, PlayHeadFrame(head));
}

TEST(PlayHeadButtons, WithoutAnAnimationTheEndIsTheStart) {
  const AnimPackage package = PackageLasting(1.5f);
  const float length = CurrentAnimationLength(package, -1);
  EXPECT_EQ(0.0f, length);
  EXPECT_EQ(0.0f, CurrentAnimationLength(package, 1));
  EXPECT_EQ(1.5f, CurrentAnimationLength(package, 0));
  PlayHead head;
  StepPlayHeadForward(head, length);
  EXPECT_EQ(0.0f, head.currentTime);
  JumpPlayHeadToEnd(head, length);
  EXPECT_EQ(0.0f, head.currentTime);
}

TEST(PlayHeadTimeBar, CountsFrames) {
  PlayHead head;
  SeekPlayHeadToFrame(head, 90);
  EXPECT_EQ(1.5f, head.currentTime);
  EXPECT_EQ(90, PlayHeadFrame(head));
  SeekPlayHeadToFrame(head, 0);
  EXPECT_EQ(0, PlayHeadFrame(head));
}

TEST(PlaybackTick, TheFirstTickAfterAStartAddsNothing) {
  const AnimPackage package = PackageLasting(1.5f);
  PlayHead head;
  SeekPlayHeadToFrame(head, 30);
  EXPECT_TRUE(PlaybackTick(head, 123456, package, 0));
  EXPECT_EQ(30, PlayHeadFrame(head));
  EXPECT_EQ(123456u, head.lastTick);
  EXPECT_TRUE(PlaybackTick(head, 123456 + 500, package, 0));
  EXPECT_FLOAT_EQ(1.0f, head.currentTime);
  StopPlayHead(head);
  EXPECT_EQ(0u, head.lastTick);
  EXPECT_TRUE(PlaybackTick(head, 999999, package, 0));
  EXPECT_FLOAT_EQ(1.0f, head.currentTime);
}

TEST(PlaybackTick, LoopsAtTheEndOfTheAnimation) {
  // A 1.5 s animation played for 2 s in ticks of 16 ms shows about frame 30.
  const AnimPackage package = PackageLasting(1.5f);
  PlayHead head;
  uint32_t now = 5000;
  PlaybackTick(head, now, package, 0);
  for (int i = 0; i < 125; ++i) {
    now += 16;
    PlaybackTick(head, now, package, 0);
    EXPECT_LT(head.currentTime, 1.5f);
  }
  EXPECT_NEAR(0.5f, head.currentTime, 1e-4f);
  EXPECT_GE(PlayHeadFrame(head), 29);
  EXPECT_LE(PlayHeadFrame(head), 30);
}

TEST(PlaybackTick, SurvivesTheTickCounterWrappingAround) {
  PlayHead head;
  head.lastTick = 0xFFFFFF00u;
  EXPECT_DOUBLE_EQ(0.512, MeasureTick(head, 0x100u));
  EXPECT_EQ(0x100u, head.lastTick);
}

TEST(PlaybackTick, MeasuresButDoesNotMoveWithoutAnAnimation) {
  const AnimPackage package = PackageLasting(1.5f);
  PlayHead head;
  head.currentTime = 0.25f;
  head.lastTick = 1000;
  EXPECT_FALSE(PlaybackTick(head, 1100, package, -1));
  EXPECT_FALSE(PlaybackTick(head, 1200, package, 3));
  EXPECT_EQ(0.25f, head.currentTime);
  EXPECT_EQ(1200u, head.lastTick);
}

TEST(AdvancePlayHead, RestsAtTheStartOfAnAnimationWithoutLength) {
  const AnimPackage package = PackageLasting(0.0f);
  PlayHead head;
  head.lastTick = 1;
  EXPECT_TRUE(PlaybackTick(head, 2001, package, 0));
  EXPECT_EQ(0.0f, head.currentTime);
  head.currentTime = 3.0f;
  AdvancePlayHead(head, 0.1f, 0.0f);
  EXPECT_EQ(0.0f, head.currentTime);
}

TEST(AdvancePlayHead, ALongStallLandsInsideTheAnimationAtOnce) {
  PlayHead head;
  AdvancePlayHead(head, 4294967.0f, kFrameStep);  // the longest interval the counter can measure
  EXPECT_GE(head.currentTime, 0.0f);
  EXPECT_LT(head.currentTime, kFrameStep);
  head.currentTime = 1.25f;
  AdvancePlayHead(head, 0.5f, 1.5f);
  EXPECT_FLOAT_EQ(0.25f, head.currentTime);
  AdvancePlayHead(head, 1.25f, 1.5f);  // exactly the length: back to the start
  EXPECT_EQ(0.0f, head.currentTime);
}

}  // namespace
}  // namespace zam
