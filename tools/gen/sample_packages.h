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
  // Track t translates (KRT0) when t is a multiple of this, the root always.
  int translatedEvery = 2;
  uint64_t seed = 1;
  // ANP3 and ANP2 tracks of float keys (frame types 1 and 2) instead of 16-bit ones.
  bool floatFrames = false;
  // ANPK ANIM sections of 40 or 48 bytes, whose tracks carry no bone id.
  int anpkAnimSize = 44;
  // The last track of each animation has no keys; in every other animation
  // of an ANPK package it ends without a key section.
  bool emptyTracks = false;
};

// Tracks are KR00 but for the translated ones (see translatedEvery); values
// are chosen to survive the ANP3 16-bit range. Every track of an animation
// starts at 0 s and ends at the same time, as the game's own do.
AnimPackage MakePackage(const PackageShape& shape);

// The shape of a large package from the game: 300 animations of 32 tracks
// with 60 to 150 keys each.
PackageShape LargeGameShape(uint32_t format);

// The shape of the game's packages as most are: many short tracks, most of
// them rotation-only. 300 animations of 30 tracks with 10 to 60 keys, one
// track in six translated: about 3.8 MB as ANP3.
PackageShape RealGameShape(uint32_t format);

}  // namespace zam::gen
