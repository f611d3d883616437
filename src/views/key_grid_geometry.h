#pragma once
// Geometry of the key grid: a time line of the current animation with one
// row per track, `scale` pixels per frame of 1/60 s.

#include <cstdint>

#include "anim/anim_package.h"

namespace zam {

inline constexpr float kMinKeyGridScale = 2.0f;
inline constexpr float kMaxKeyGridScale = 24.0f;

// Frames below are counted by SecondsToFrameTime, so a key stored as the
// float just below n/60 sits on frame n.

// Width of the time column: trunc((L x 60 + 1) x scale) + 5 pixels.
int KeyGridColumnWidth(float lengthSeconds, float scale);

// Pixels from the row's origin to the key at `seconds`: trunc(t x 60 x scale).
int KeyPixel(float seconds, float scale);

// The fill colour of a track's boxes as a COLORREF (red in bits 0-7), from
// ((b*64) ^ 0xCD) | ((b*262144) ^ 0x590000) | ((b*4096) ^ 0xA700). Ids of 64
// and more set bits above 23; only the low 24 bits make the colour.
uint32_t TrackColor(int32_t boneId);

// The scale after a right-drag of `dy` pixels (downward positive): half a
// pixel per frame for every pixel, kept within 2 ... 24.
float ZoomedKeyGridScale(float scale, int dy);

// The key of `track` whose box covers pixel `x` of its row (a box spans
// KeyPixel - 1 up to KeyPixel + scale), the latest of overlapping ones; -1
// where no box is.
int KeyAtPixel(const BoneTrack& track, int x, float scale);

// The frame under pixel `x` of the time line; 0 left of it.
int32_t FrameAtPixel(int x, float scale);

// The horizontal scroll, in pixels, that keeps the frame at the left edge
// in place when the scale changes.
int ScrollKeepingLeftFrame(int scrollPixels, float oldScale, float newScale);

}  // namespace zam
