#include "views/key_grid_geometry.h"

namespace zam {
namespace {

// Truncation toward zero that saturates instead of overflowing on absurd times.
int TruncatePixels(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483520.0) return 2147483520;
  if (value <= -2147483520.0) return -2147483520;
  return static_cast<int>(value);
}

}  // namespace

int KeyGridColumnWidth(float lengthSeconds, float scale) {
  int width = TruncatePixels((SecondsToFrameTime(lengthSeconds) + 1.0) * scale);
  return width > 2147483520 - 5 ? width : width + 5;
}

// A key on frame n starts exactly at n x scale, even when its stored time is
// the float just below n/60.
int KeyPixel(float seconds, float scale) { return TruncatePixels(SecondsToFrameTime(seconds) * scale); }

uint32_t TrackColor(int32_t boneId) {
  uint32_t b = static_cast<uint32_t>(boneId);  // wraps like the 32-bit arithmetic it mirrors
  uint32_t value = ((b * 64u) ^ 0xCDu) | ((b * 262144u) ^ 0x590000u) | ((b * 4096u) ^ 0xA700u);
  return value & 0x00FFFFFFu;
}

float ZoomedKeyGridScale(float scale, int dy) {
  float zoomed = scale + static_cast<float>(dy) * 0.5f;
  if (zoomed < kMinKeyGridScale) return kMinKeyGridScale;
  if (zoomed > kMaxKeyGridScale) return kMaxKeyGridScale;
  return zoomed;
}

int KeyAtPixel(const BoneTrack& track, int x, float scale) {
  const int width = static_cast<int>(scale);
  for (int k = track.keyCount() - 1; k >= 0; --k) {
    const int p = KeyPixel(track.keys[static_cast<size_t>(k)].time, scale);
    if (x >= p - 1 && x < p + width) return k;
  }
  return -1;
}

int32_t FrameAtPixel(int x, float scale) { return x <= 0 ? 0 : static_cast<int32_t>(static_cast<float>(x) / scale); }

int ScrollKeepingLeftFrame(int scrollPixels, float oldScale, float newScale) {
  float frameAtLeft = static_cast<float>(scrollPixels) / oldScale;
  return TruncatePixels(static_cast<double>(newScale * frameAtLeft));
}

}  // namespace zam
