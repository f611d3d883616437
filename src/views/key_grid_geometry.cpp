#include "views/key_grid_geometry.h"

#include "anim/anim_package.h"

namespace zam {
namespace {

// Truncation toward zero that saturates instead of overflowing on absurd times.
int TruncatePixels(float value) {
  if (!(value == value)) return 0;
  if (value >= 2147483520.0f) return 2147483520;
  if (value <= -2147483520.0f) return -2147483520;
  return static_cast<int>(value);
}

}  // namespace

int KeyGridColumnWidth(float lengthSeconds, float scale) {
  int width = TruncatePixels((lengthSeconds * kFramesPerSecond + 1.0f) * scale);
  return width > 2147483520 - 5 ? width : width + 5;
}

int KeyPixel(float seconds, float scale) { return TruncatePixels(seconds * kFramesPerSecond * scale); }

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

int ScrollKeepingLeftFrame(int scrollPixels, float oldScale, float newScale) {
  float frameAtLeft = static_cast<float>(scrollPixels) / oldScale;
  return TruncatePixels(newScale * frameAtLeft);
}

}  // namespace zam
