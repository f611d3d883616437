#include "anim/anim_package.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "sample_packages.h"

namespace zam {
namespace {

BoneTrack TrackEndingAt(std::initializer_list<float> times) {
  BoneTrack track{};
  for (float t : times) {
    KeyFrame key{};
    key.time = t;
    track.keys.push_back(key);
  }
  return track;
}

TEST(AnimationLength, IsTheLatestLastKeyOverAllTracksInWholeFrames) {
  Animation animation{};
  EXPECT_EQ(AnimationLength(animation), 0.0f);
  animation.bones.push_back(TrackEndingAt({}));
  EXPECT_EQ(AnimationLengthFrames(animation), 0);
  animation.bones.push_back(TrackEndingAt({0.0f, 1.0f}));
  animation.bones.push_back(TrackEndingAt({0.5f, 3.0f, 2.5f}));  // the last key counts, not the largest
  EXPECT_FLOAT_EQ(AnimationLength(animation), 2.5f);
  EXPECT_EQ(AnimationLengthFrames(animation), 150);
  // Truncated toward zero, saturating.
  for (auto [seconds, frames] : {std::pair{0.99f / 60.0f, 0}, std::pair{-0.02f, -1}, std::pair{1e30f, INT32_MAX},
                                 std::pair{-1e30f, INT32_MIN}, std::pair{std::numeric_limits<float>::quiet_NaN(), 0}})
    EXPECT_EQ(SecondsToFrames(seconds), frames) << seconds;
}

// Every tick an ANP3 file can hold comes back as the float nearest to n/60,
// often just below n/60; it is frame n, never n - 1.
TEST(SecondsToFrames, TheFloatNearestToAFrameIsThatFrame) {
  for (int n = -32768; n <= 65535; ++n) {
    float time = static_cast<float>(n) / 60.0f;
    ASSERT_EQ(SecondsToFrames(time), n);
    ASSERT_EQ(SecondsToFrameTime(time), n);
  }
  EXPECT_EQ(SecondsToFrames(126.0f / 60.0f), 126);
  EXPECT_NEAR(SecondsToFrameTime(0.5f / 60.0f), 0.5, 1e-6);  // fractions stay
}

TEST(AnimationCopy, SharesNothingWithItsSource) {
  AnimPackage package = gen::MakePackage({});
  package.animations.push_back(package.animations[0]);
  Animation& copy = package.animations.back();
  copy.bones[0].keyType = kKeyKR00;
  copy.bones[0].keys[0].rotation[0] = 42.0f;
  EXPECT_NE(package.animations[0].bones[0].keyType, kKeyKR00);
  EXPECT_NE(package.animations[0].bones[0].keys[0].rotation[0], 42.0f);
  package.animations.erase(package.animations.begin());
  EXPECT_EQ(package.animations.back().bones[0].keys[0].rotation[0], 42.0f);
  ReleasePackage(package);
  ReleasePackage(package);  // harmless twice
  EXPECT_EQ(package.format, 0u);
  EXPECT_EQ(package.animationCount(), 0);
  for (char c : package.name) EXPECT_EQ(c, '\0');
}

TEST(SetName, KeepsAtMost23CharactersAndClearsTheRest) {
  char field[28];
  std::memset(field, 'x', sizeof field);
  SetName(field, "a_name_that_is_far_too_long_for_it");
  EXPECT_EQ(NameText(field), "a_name_that_is_far_too_");
  for (size_t i = 23; i < sizeof field; ++i) EXPECT_EQ(field[i], '\0');
  char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(NameText(unterminated), "abcd") << "stops at the field end";
}

}  // namespace
}  // namespace zam
