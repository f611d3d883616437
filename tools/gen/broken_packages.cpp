#include "broken_packages.h"

#include <limits>

namespace zam::gen {

const char kBrokenRules[] = "no-keys|first-key|order|nan|unit|shared-bone|range|long-name|ends";

bool BreakRule(const std::string& rule, AnimPackage& package) {
  Animation& animation = package.animations[0];
  BoneTrack& first = animation.bones[0];
  BoneTrack& second = animation.bones[1];
  if (rule == "no-keys") {
    second.keys.clear();
  } else if (rule == "first-key") {
    first.keys[0].time = first.keys[1].time / 2.0f;
  } else if (rule == "order") {
    second.keys[1].time = second.keys[0].time;
  } else if (rule == "nan") {
    second.keys[1].rotation[2] = std::numeric_limits<float>::quiet_NaN();
  } else if (rule == "unit") {
    for (float& r : second.keys[1].rotation) r *= 1.5f;
  } else if (rule == "shared-bone") {
    second.boneId = first.boneId;
  } else if (rule == "range") {
    first.keyType = kKeyKRT0;
    first.keys[1].translation[0] = 40.0f;  // beyond the 32 m of compressed ANP3 keys
  } else if (rule == "long-name") {
    SetNameField(second.name, sizeof second.name, "");
    for (int i = 0; i < 26; ++i) second.name[i] = static_cast<char>('a' + i);
  } else if (rule == "ends") {
    second.keys.back().time += 0.5f;
  } else {
    return false;
  }
  return true;
}

}  // namespace zam::gen
