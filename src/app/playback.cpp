#include "app/playback.h"

#include <cmath>

namespace zam {

float CurrentAnimationLength(const AnimPackage& package, int animationIndex) {
  const Animation* animation = AnimationAt(package, animationIndex);
  return animation ? AnimationLength(*animation) : 0.0f;
}

double MeasureTick(PlayHead& head, uint32_t now) {
  const double elapsed = head.lastTick != 0 ? static_cast<uint32_t>(now - head.lastTick) / 1000.0 : 0.0;
  head.lastTick = now;
  return elapsed;
}

void AdvancePlayHead(PlayHead& head, float elapsed, float length) {
  // Without a positive length there is nothing to loop over (subtracting 0
  // would never end): the play head rests at the start.
  if (!(length > 0.0f)) {
    head.currentTime = 0.0f;
    return;
  }
  head.currentTime += elapsed;
  // The exact remainder: the same as subtracting the length once, as a
  // normal tick needs, and it stays one step after a long stall (a suspended
  // machine), where repeated float subtraction could stop making progress.
  if (head.currentTime >= length) head.currentTime = std::fmod(head.currentTime, length);
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
