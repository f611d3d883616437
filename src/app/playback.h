#pragma once
// The play head of the preview: real elapsed time from the system's
// millisecond tick counter, looping at the animation's length, the frame
// buttons and the time bar. Frames are 1/60 s, truncated toward zero.

#include <cstdint>

#include "anim/anim_package.h"

namespace zam {

// One frame as the buttons step it: 1/60 held as a float (0.016666668).
inline constexpr float kFrameStep = 1.0f / 60.0f;

struct PlayHead {
  float currentTime = 0.0f;  // seconds
  uint32_t lastTick = 0;     // tick count of the previous timer tick; 0: none since playback stopped
};

// The length of animation `animationIndex` of `package`, 0 when the index
// names no animation (-1 included).
float CurrentAnimationLength(const AnimPackage& package, int animationIndex);

// Seconds since the previous tick, measured modulo 2^32 ms so that a
// wrap-around of the counter still gives the small real interval; 0 for the
// first tick after playback stopped. Remembers `now` for the next tick.
double MeasureTick(PlayHead& head, uint32_t now);

// Moves the play head on by `elapsed` seconds and loops it into
// [0, length). An animation of length 0 keeps it at 0.
void AdvancePlayHead(PlayHead& head, float elapsed, float length);

// A timer tick: measures the time since the last one and, when the package
// holds animation `animationIndex`, advances the play head by it. Returns
// whether the play head was advanced (and so the frame display is due).
bool PlaybackTick(PlayHead& head, uint32_t now, const AnimPackage& package, int animationIndex);

// Playback stopped: the next start measures from its own first tick.
void StopPlayHead(PlayHead& head);

// The four frame buttons: to the start, one frame back (not below 0), one
// frame on (not past `length`), to the end.
void RewindPlayHead(PlayHead& head);
void StepPlayHeadBack(PlayHead& head);
void StepPlayHeadForward(PlayHead& head, float length);
void JumpPlayHeadToEnd(PlayHead& head, float length);

// The time bar counts frames: position p puts the play head at p / 60 s.
void SeekPlayHeadToFrame(PlayHead& head, int position);

// The current frame, shown in the frame box and as the time bar's position.
int32_t PlayHeadFrame(const PlayHead& head);

}  // namespace zam
