#include "app/playback.h"

#include <gtest/gtest.h>

#include "preview/test_skeleton.h"

namespace zam {
namespace {

using test::Key;

AnimPackage PackageLasting(float seconds) { return test::PackageOf({test::Track(0, kKeyKR00, {Key(0), Key(seconds)})}); }

TEST(PlayHeadButtons, StepByAFrameWithinTheAnimation) {
  const AnimPackage package = PackageLasting(1.5f);
  const float length = CurrentAnimationLength(package, 0);
  EXPECT_EQ(1.5f, length);
  PlayHead head;
  JumpPlayHeadToEnd(head, length);
  EXPECT_EQ(90, PlayHeadFrame(head));
  StepPlayHeadBack(head);
  EXPECT_EQ(89, PlayHeadFrame(head));
  JumpPlayHeadToEnd(head, length);
  StepPlayHeadForward(head, length);
  EXPECT_EQ(length, head.currentTime);
  RewindPlayHead(head);
  StepPlayHeadBack(head);
  EXPECT_EQ(0.0f, head.currentTime);
  StepPlayHeadForward(head, length);
  EXPECT_EQ(1, PlayHeadFrame(head));
  SeekPlayHeadToFrame(head, 90);
  EXPECT_EQ(1.5f, head.currentTime);
  // Without an animation the end is the start.
  for (int none : {-1, 1}) {
    EXPECT_EQ(0.0f, CurrentAnimationLength(package, none));
    JumpPlayHeadToEnd(head, CurrentAnimationLength(package, none));
    StepPlayHeadForward(head, CurrentAnimationLength(package, none));
    EXPECT_EQ(0.0f, head.currentTime);
  }
}

TEST(PlaybackTick, TheFirstTickAfterAStartAddsNothingAndAStopForgetsTheTick) {
  const AnimPackage package = PackageLasting(1.5f);
  PlayHead head;
  SeekPlayHeadToFrame(head, 30);
  EXPECT_TRUE(PlaybackTick(head, 123456, package, 0));
  EXPECT_EQ(30, PlayHeadFrame(head));
  EXPECT_TRUE(PlaybackTick(head, 123456 + 500, package, 0));
  EXPECT_FLOAT_EQ(1.0f, head.currentTime);
  StopPlayHead(head);
  EXPECT_EQ(0u, head.lastTick);
  EXPECT_TRUE(PlaybackTick(head, 999999, package, 0));
  EXPECT_FLOAT_EQ(1.0f, head.currentTime);
  // Without an animation it measures but does not move.
  EXPECT_FALSE(PlaybackTick(head, 1000999, package, -1));
  EXPECT_FALSE(PlaybackTick(head, 1001099, package, 3));
  EXPECT_FLOAT_EQ(1.0f, head.currentTime);
  EXPECT_EQ(1001099u, head.lastTick);
  head.lastTick = 0xFFFFFF00u;  // the tick counter wraps around
  EXPECT_DOUBLE_EQ(0.512, MeasureTick(head, 0x100u));
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
  head.currentTime = 1.25f;
  AdvancePlayHead(head, 1.25f, 1.5f);  // exactly the length past: back where it was
  EXPECT_FLOAT_EQ(1.0f, head.currentTime);
  AdvancePlayHead(head, 0.5f, 1.5f);  // exactly at the length: the start
  EXPECT_EQ(0.0f, head.currentTime);
  AdvancePlayHead(head, 4294967.0f, kFrameStep);  // the longest interval the counter can measure
  EXPECT_GE(head.currentTime, 0.0f);
  EXPECT_LT(head.currentTime, kFrameStep);
  head.currentTime = 3.0f;
  AdvancePlayHead(head, 0.1f, 0.0f);  // an animation without length rests at its start
  EXPECT_EQ(0.0f, head.currentTime);
}

}  // namespace
}  // namespace zam
