#include "app/playback.h"

#include "preview/preview_clock.h"

namespace zam {

float CurrentAnimationLength(const AnimPackage& package, int animationIndex) {
  const Animation* animation = AnimationAt(package, animationIndex);
  return animation ? AnimationLength(*animation) : 0.0f;
}

double MeasureTick(PlayHead& head, uint32_t now) { return MeasureTickInterval(head.lastTick, now); }

void AdvancePlayHead(PlayHead& head, float elapsed, float length) {
  AdvanceLoopedTime(head.currentTime, elapsed, length);
}

bool PlaybackTick(PlayHead& head, uint32_t now, const AnimPackage& package, int animationIndex) {
  const double elapsed = MeasureTick(head, now);
  const Animation* animation = AnimationAt(package, animationIndex);
  if (!animation) return false;
  AdvancePlayHead(head, static_cast<float>(elapsed), AnimationLength(*animation));
  return true;
}

void StopPlayHead(PlayHead& head) { head.lastTick = 0; }

void RewindPlayHead(PlayHead& head) { head.currentTime = 0.0f; }

void StepPlayHeadBack(PlayHead& head) {
  head.currentTime -= kFrameStep;
  if (head.currentTime < 0.0f) head.currentTime = 0.0f;
}

void StepPlayHeadForward(PlayHead& head, float length) {
  head.currentTime += kFrameStep;
  if (head.currentTime > length) head.currentTime = length;
}

void JumpPlayHeadToEnd(PlayHead& head, float length) { head.currentTime = length; }

void SeekPlayHeadToFrame(PlayHead& head, int position) {
  head.currentTime = static_cast<float>(position / static_cast<double>(kFramesPerSecond));
}

int32_t PlayHeadFrame(const PlayHead& head) { return SecondsToFrames(head.currentTime); }

}  // namespace zam
