#include "anim/anim_package.h"

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

int32_t SecondsToFrames(float seconds) {
  float frames = seconds * kFramesPerSecond;
  if (!(frames == frames)) return 0;  // NaN
  if (frames >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (frames < -2147483648.0f) return std::numeric_limits<int32_t>::min();
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
