#include "preview/preview_clock.h"

#include <cmath>

namespace zam {

double MeasureTickInterval(uint32_t& lastTick, uint32_t now) {
  const double elapsed = lastTick != 0 ? static_cast<uint32_t>(now - lastTick) / 1000.0 : 0.0;
  lastTick = now;
  return elapsed;
}

void AdvanceLoopedTime(float& time, float elapsed, float length) {
  // Without a positive length there is nothing to loop over (subtracting 0
  // would never end): the time rests at the start.
  if (!(length > 0.0f)) {
    time = 0.0f;
    return;
  }
  time += elapsed;
  // The exact remainder: the same as subtracting the length once, as a
  // normal tick needs, and it stays one step after a long stall (a suspended
  // machine), where repeated float subtraction could stop making progress.
  if (time >= length) time = std::fmod(time, length);
}

float BeginFocusedPreviewTick(FocusedPreviewClock& clock, uint32_t now, int focused, float& time) {
  const float elapsed = static_cast<float>(MeasureTickInterval(clock.lastTick, now));
  if (focused != clock.focused) time = 0.0f;
  clock.focused = focused;
  return elapsed;
}

void EndFocusedPreviewTick(float& time, float elapsed, const AnimPackage& package, int focused) {
  if (const Animation* animation = AnimationAt(package, focused)) {
    AdvanceLoopedTime(time, elapsed, AnimationLength(*animation));
  }
}

}  // namespace zam
