#pragma once
// The in-memory form of one IFP animation package: named animations, each
// holding one key-frame track per bone. Arrays are owned by their parent
// record and copied deeply, so no two records ever share keys or tracks.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "anim/key_memory.h"
#include "base/fourcc.h"
#include "base/text.h"

namespace zam {

inline constexpr uint32_t kFormatANPK = FourCC("ANPK");
inline constexpr uint32_t kFormatANP3 = FourCC("ANP3");
// ANP3 without the two per-animation words (key-data size and flags word).
inline constexpr uint32_t kFormatANP2 = FourCC("ANP2");

inline constexpr uint32_t kKeyKR00 = FourCC("KR00");  // rotation only
inline constexpr uint32_t kKeyKRT0 = FourCC("KRT0");  // rotation and translation
inline constexpr uint32_t kKeyKRTS = FourCC("KRTS");  // rotation, translation and scale

inline constexpr float kFramesPerSecond = 60.0f;
// Names typed or set by the user keep at most this many characters.
inline constexpr size_t kMaxNameLength = 23;

struct KeyFrame {
  float rotation[4];     // quaternion x, y, z, w in the ANP3 convention
  float translation[3];  // meaningful for KRT0 and KRTS
  float scale[3];        // meaningful for KRTS
  float time;            // seconds from the start of the animation
};
static_assert(sizeof(KeyFrame) == 44, "a key is eleven floats");

struct BoneTrack {
  char name[28];
  int32_t boneId;
  int32_t anpkWord1;  // carried through ANPK unchanged, meaningless elsewhere
  int32_t anpkWord2;
  uint32_t keyType;  // kKeyKR00/KRT0/KRTS, or an unknown tag or ANP3 frame type as read
  KeyList<KeyFrame> keys;  // used like a std::vector; see key_memory.h
  // ANP3 and ANP2 store keys as 16-bit fixed point (frame types 3 and 4) or
  // as floats (types 1 and 2); a track read as floats is written as floats.
  bool floatFrames = false;
  // The size of the ANPK ANIM section as read, 0 for the usual 44 bytes.
  // Only a 44-byte section holds a bone id; other sizes (40 and 48 are
  // common) are written back as read while the track has no bone id (-1).
  int32_t anpkAnimSize = 0;
  int32_t anpkLinks[2] = {0, 0};  // the last two words of a 48-byte ANIM section
  // The ANPK track ended after its ANIM section, without a key section.
  bool anpkWithoutKeySection = false;

  int32_t keyCount() const { return static_cast<int32_t>(keys.size()); }
};

struct Animation {
  char name[24];
  int32_t keyDataSize;  // the ANP3 key-byte count as read; informational only
  int32_t extraWord;    // uninterpreted, written back unchanged
  std::vector<BoneTrack> bones;
  // The layout whose reader gave extraWord (0 when none did). In ANP3 the
  // word is the animation's compression flag; an animation that did not come
  // from ANP3 gets the flag its keys call for.
  uint32_t extraWordLayout = 0;

  int32_t boneCount() const { return static_cast<int32_t>(bones.size()); }
};

struct AnimPackage {
  uint32_t format;  // kFormatANPK, kFormatANP3, kFormatANP2, or 0 when empty
  char name[24];
  std::vector<Animation> animations;

  int32_t animationCount() const { return static_cast<int32_t>(animations.size()); }
};

// Returns every record to the all-zero empty package.
void ReleasePackage(AnimPackage& package);

// Animation `index` of the package, or nullptr when the index names none
// (-1, "no animation", included).
inline const Animation* AnimationAt(const AnimPackage& package, int index) {
  return index >= 0 && index < package.animationCount() ? &package.animations[static_cast<size_t>(index)] : nullptr;
}
inline Animation* AnimationAt(AnimPackage& package, int index) {
  return index >= 0 && index < package.animationCount() ? &package.animations[static_cast<size_t>(index)] : nullptr;
}

// The largest last-key time over the animation's tracks, in seconds.
float AnimationLength(const Animation& animation);

// Seconds as frames of 1/60 s. A time held as the float nearest to n/60 (every
// ANP3 tick, every time stepped or typed in frames) lies a little below or
// above n/60; within a small tolerance it counts as exactly frame n, so it is
// never shown or drawn one frame early. Other times keep their fraction.
double SecondsToFrameTime(float seconds);
// Whole frames: SecondsToFrameTime truncated toward zero; absurd values
// saturate instead of overflowing, NaN gives 0.
int32_t SecondsToFrames(float seconds);
inline int32_t AnimationLengthFrames(const Animation& animation) {
  return SecondsToFrames(AnimationLength(animation));
}

// Stores at most kMaxNameLength characters and a terminating zero; the rest
// of the field is cleared.
void SetNameField(char* field, size_t fieldSize, const std::string& text);
template <size_t N>
void SetName(char (&field)[N], const std::string& text) {
  SetNameField(field, N, text);
}

// A name the user typed: stored as SetName stores it. True when that changed
// the stored name (byte for byte).
template <size_t N>
bool Rename(char (&field)[N], const std::string& text) {
  std::string before = NameText(field);
  SetName(field, text);
  return NameText(field) != before;
}

}  // namespace zam
