#pragma once
// The preview's time: real elapsed milliseconds from the system's tick
// counter move a play head that loops at the animation's length. The main
// window's playback and the Opening Option dialog's preview both run on it.

#include <cstdint>

#include "anim/anim_package.h"

namespace zam {

// Seconds since `lastTick`, measured modulo 2^32 ms so that a wrap-around of
// the counter still gives the small real interval; 0 when `lastTick` is 0
// (no previous tick). `lastTick` becomes `now`.
double MeasureTickInterval(uint32_t& lastTick, uint32_t now);

// Moves `time` on by `elapsed` and loops it into [0, length). A length of 0
// keeps it at 0.
void AdvanceLoopedTime(float& time, float elapsed, float length);

// The tick memory of a preview that shows a list's focused animation.
struct FocusedPreviewClock {
  uint32_t lastTick = 0;  // tick count of the previous tick; 0: none yet
  int focused = -1;       // the item focused at the previous tick
};

// The part of a tick before its frame is drawn: returns the seconds since
// the previous tick, and restarts the shared `time` at 0 when another item
// (or none) has the focus than at the previous tick.
float BeginFocusedPreviewTick(FocusedPreviewClock& clock, uint32_t now, int focused, float& time);

// The part after the frame: moves `time` on by `elapsed`, looping at the
// length of animation `focused` of `package`. Without that animation the
// time stays.
void EndFocusedPreviewTick(float& time, float elapsed, const AnimPackage& package, int focused);

}  // namespace zam
