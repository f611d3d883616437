#pragma once
// Serialises an AnimPackage into the IFP layout its `format` names.

#include <cstdint>
#include <vector>

#include "anim/anim_package.h"

namespace zam {

enum class IfpWriteStatus {
  Ok,
  // `format` is neither layout: only its four bytes were written.
  UnknownFormat,
};

// Appends the package's bytes to `out`. Tracks whose key type is none of
// KR00, KRT0 and KRTS (read from damaged files) are written as ANPK tracks
// without keys, and as ANP3 and ANP2 rotation-and-translation tracks, so
// that every file written reads back as written.
IfpWriteStatus WriteIfp(const AnimPackage& package, std::vector<uint8_t>& out);

// Whether the track's key type is one the ANPK layout stores keys for.
bool HasKnownKeyType(const BoneTrack& track);

// A track by its place in its package.
struct TrackPlace {
  int animation;
  int track;
  bool operator==(const TrackPlace& other) const { return animation == other.animation && track == other.track; }
};

// The tracks whose scale WriteIfp leaves out of the package's layout, in
// package order: in ANP3 and ANP2, which store none, every KRTS track with keys
// (written as rotation and translation).
std::vector<TrackPlace> TracksLosingScale(const AnimPackage& package);

// The values a write in the package's layout cannot hold and would store
// clamped (NaN as 0): in ANP3 and ANP2, compressed keys hold rotations in
// [-8, 8), translations in [-32, 32) m and times up to 32767 ticks (546.1 s).
struct ClampedValues {
  size_t count = 0;
  TrackPlace first{-1, -1};  // the first track holding one
};
ClampedValues ValuesClampedOnWrite(const AnimPackage& package);
// The same for one track written in `format`, with the first key holding one.
struct TrackClamps {
  size_t count = 0;
  int firstKey = -1;
};
TrackClamps ValuesClampedInTrack(uint32_t format, const BoneTrack& track);

// ANP3 fixed-point conversion of rotations and translations: value x scale
// truncated toward zero and clamped to the 16-bit range (not wrapped), NaN
// stored as 0. The power-of-two scales give exact products, so a value read
// from ANP3 is written back unchanged.
inline int16_t ToFixed16(float value, float scale) {
  float product = value * scale;
  product = product == product ? product : 0.0f;  // NaN
  product = product < -32768.0f ? -32768.0f : product;
  product = product > 32767.0f ? 32767.0f : product;
  return static_cast<int16_t>(static_cast<int32_t>(product));
}

// ANP3 time ticks (1/60 s): the nearest tick, clamped to the 16-bit range.
// A tick n read back is the float nearest to n/60, often just below it;
// rounding (not truncating) writes n again, so saving never moves keys.
inline int16_t TimeToTicks16(float seconds) {
  double ticks = static_cast<double>(seconds) * 60.0;
  ticks = ticks == ticks ? ticks : 0.0;  // NaN
  ticks = ticks < -32768.0 ? -32768.0 : ticks;
  ticks = ticks > 32767.0 ? 32767.0 : ticks;
  // Half away from zero, as std::lround, without its library call: a float
  // times 60 is exact in a double, and so is adding the half.
  return static_cast<int16_t>(static_cast<int32_t>(ticks < 0.0 ? ticks - 0.5 : ticks + 0.5));
}

}  // namespace zam
