#pragma once
// The package most tests start from.

#include <string>

#include "anim/anim_package.h"

namespace zam::test {

// `animations` animations named anim0, anim1, ... with two tracks each: a
// translated root (id 0, KRT0) ending at 1.0 s and a scaled spine (id 22,
// KRTS) ending at 2.5 s, so each is 150 frames long; in the given layout.
inline AnimPackage TestPackage(uint32_t format = kFormatANPK, int animations = 4) {
  AnimPackage package{};
  package.format = format;
  SetName(package.name, "ped");
  for (int a = 0; a < animations; ++a) {
    Animation animation{};
    SetName(animation.name, "anim" + std::to_string(a));
    for (float end : {1.0f, 2.5f}) {
      BoneTrack track{};
      SetName(track.name, end == 1.0f ? "Root" : "Spine");
      track.boneId = end == 1.0f ? 0 : 22;
      track.keyType = end == 1.0f ? kKeyKRT0 : kKeyKRTS;
      KeyFrame first{}, last{};
      first.rotation[3] = last.rotation[3] = 1.0f;
      last.translation[0] = 2.0f;
      last.time = end;
      track.keys = {first, last};
      animation.bones.push_back(track);
    }
    package.animations.push_back(animation);
  }
  return package;
}

}  // namespace zam::test
