#pragma once
// Deterministic animation packages for tests, benchmarks, fuzz seeds and the
// demo: plausible quaternions, translations and ascending key times.

#include <cstdint>

#include "anim/anim_package.h"

namespace zam::gen {

struct PackageShape {
  uint32_t format = kFormatANPK;
  int animations = 4;
  int tracksPerAnimation = 8;
  int minKeys = 2;
  int maxKeys = 10;
  uint64_t seed = 1;
};

// Tracks alternate between KR00 and KRT0 (track 0, the root, translates);
// values are chosen to survive the ANP3 16-bit range.
AnimPackage MakePackage(const PackageShape& shape);

// The shape of a large package from the game: 300 animations of 32 tracks
// with 60 to 150 keys each.
PackageShape LargeGameShape(uint32_t format);

}  // namespace zam::gen
