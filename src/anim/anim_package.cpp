#include "anim/anim_package.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace zam {

void ReleasePackage(AnimPackage& package) {
  package.animations.clear();
  package.animations.shrink_to_fit();
  package.format = 0;
  std::memset(package.name, 0, sizeof package.name);
}

float AnimationLength(const Animation& animation) {
  float length = 0.0f;
  for (const BoneTrack& track : animation.bones) {
    if (!track.keys.empty() && length < track.keys.back().time) length = track.keys.back().time;
  }
  return length;
}

double SecondsToFrameTime(float seconds) {
  double frames = static_cast<double>(seconds) * kFramesPerSecond;
  // A float carries about 7 digits: n/60 held in one is off by at most
  // n * 6e-8 frames, and a few float additions of the 1/60 step add little
  // more. A 1/1024 frame floor covers small times.
  double nearest = std::nearbyint(frames);
  double tolerance = 1.0 / 1024 + std::fabs(frames) * 1e-6;
  return std::fabs(frames - nearest) <= tolerance ? nearest : frames;
}

int32_t SecondsToFrames(float seconds) {
  double frames = SecondsToFrameTime(seconds);
  if (!(frames == frames)) return 0;  // NaN
  if (frames >= 2147483648.0) return std::numeric_limits<int32_t>::max();
  if (frames <= -2147483649.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(frames);
}

void SetNameField(char* field, size_t fieldSize, const std::string& text) {
  std::memset(field, 0, fieldSize);
  size_t len = text.size();
  if (len > kMaxNameLength) len = kMaxNameLength;
  if (len > fieldSize - 1) len = fieldSize - 1;
  std::memcpy(field, text.data(), len);
}

}  // namespace zam
