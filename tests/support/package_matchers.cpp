#include "support/package_matchers.h"

namespace zam::test {

::testing::AssertionResult SamePackage(const AnimPackage& expected, const AnimPackage& actual,
                                       size_t trackNameBytes) {
  auto differ = [](const std::string& where) { return ::testing::AssertionFailure() << "differs at " << where; };
  if (expected.format != actual.format) return differ("format");
  if (NameText(expected.name) != NameText(actual.name)) return differ("package name");
  if (expected.animations.size() != actual.animations.size()) return differ("animation count");
  for (size_t a = 0; a < expected.animations.size(); ++a) {
    const Animation& ea = expected.animations[a];
    const Animation& aa = actual.animations[a];
    std::string at = "animation " + std::to_string(a);
    if (NameText(ea.name) != NameText(aa.name)) return differ(at + " name");
    if (ea.extraWord != aa.extraWord) return differ(at + " extraWord");
    if (ea.bones.size() != aa.bones.size()) return differ(at + " track count");
    for (size_t t = 0; t < ea.bones.size(); ++t) {
      const BoneTrack& et = ea.bones[t];
      const BoneTrack& tt = aa.bones[t];
      std::string tat = at + " track " + std::to_string(t);
      if (std::memcmp(et.name, tt.name, trackNameBytes) != 0) return differ(tat + " name");
      if (et.boneId != tt.boneId) return differ(tat + " boneId");
      if (et.anpkWord1 != tt.anpkWord1 || et.anpkWord2 != tt.anpkWord2) return differ(tat + " anpk words");
      if (et.keyType != tt.keyType) return differ(tat + " keyType");
      if (et.keys.size() != tt.keys.size()) return differ(tat + " key count");
      for (size_t k = 0; k < et.keys.size(); ++k) {
        const KeyFrame& ek = et.keys[k];
        const KeyFrame& kk = tt.keys[k];
        std::string kat = tat + " key " + std::to_string(k);
        for (int i = 0; i < 4; ++i)
          if (!SameFloat(ek.rotation[i], kk.rotation[i])) return differ(kat + " rotation");
        for (int i = 0; i < 3; ++i) {
          if (!SameFloat(ek.translation[i], kk.translation[i])) return differ(kat + " translation");
          if (!SameFloat(ek.scale[i], kk.scale[i])) return differ(kat + " scale");
        }
        if (!SameFloat(ek.time, kk.time)) return differ(kat + " time");
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace zam::test
