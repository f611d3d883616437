#include "anim/package_check.h"

#include <cmath>
#include <cstdio>
#include <string_view>
#include <unordered_map>

#include "anim/ifp_writer.h"

// The rules' sources are the public descriptions of the IFP format and of
// the game's animation loader, chiefly the "IFP" page of the GTAMods wiki
// (gtamods.com/wiki/IFP), cited below as "the format's description".

namespace zam {
namespace {

std::string Seconds(float seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g s", static_cast<double>(seconds));
  return text;
}

std::string Quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

std::string LowerCase(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

class Checker {
 public:
  Checker(const AnimPackage& package, std::vector<CheckFinding>& findings) : package_(package), findings_(findings) {}

  void Run(const std::string& archiveEntryName) {
    CheckEntryName(archiveEntryName);
    for (int a = 0; a < package_.animationCount(); ++a) {
      const Animation& animation = package_.animations[static_cast<size_t>(a)];
      for (int t = 0; t < animation.boneCount(); ++t) CheckTrack(a, t, animation.bones[static_cast<size_t>(t)]);
      CheckSharedBones(a, animation);
      CheckTrackEnds(a, animation);
    }
  }

 private:
  void Add(CheckRule rule, int animation, int track, int key, std::string what) {
    findings_.push_back({rule, animation, track, key, std::move(what)});
  }

  // A rule broken by `count` keys of a track, the first at `key`.
  void AddForKeys(CheckRule rule, int animation, int track, int key, size_t count, std::string what) {
    if (count > 1) what += " (" + std::to_string(count - 1) + " more keys of this track)";
    Add(rule, animation, track, key, std::move(what));
  }

  // The game looks a package up by the name inside it ("internal file name
  // used in the script", the format's description), not by the name of
  // the archive entry holding it.
  void CheckEntryName(const std::string& entryName) {
    if (entryName.empty()) return;
    std::string_view stem = entryName;
    if (size_t dot = stem.rfind('.'); dot != std::string_view::npos) stem = stem.substr(0, dot);
    const std::string name = NameText(package_.name);
    if (!EqualIgnoringAsciiCase(stem, name)) {
      Add(CheckRule::NameDiffersFromEntry, -1, -1, -1,
          "the package is named " + Quoted(name) + " but its archive entry " + Quoted(entryName));
    }
  }

  void CheckTrack(int a, int t, const BoneTrack& track) {
    // "Two frames are interpolated by the game" (the format's description):
    // a track needs keys to interpolate, starting at the animation's start
    // and following each other in time, or the game reads before its first
    // key or divides by a zero interval.
    if (track.keys.empty()) {
      Add(CheckRule::NoKeys, a, t, -1, "the track has no keys");
    } else if (track.keys[0].time != 0.0f) {
      Add(CheckRule::FirstKeyNotAtZero, a, t, 0, "the first key is at " + Seconds(track.keys[0].time) + ", not 0 s");
    }
    CheckKeys(a, t, track);
    CheckRanges(a, t, track);
    CheckNameLength(a, t, track);
  }

  void CheckKeys(int a, int t, const BoneTrack& track) {
    size_t unordered = 0, nonFinite = 0, notUnit = 0;
    int firstUnordered = -1, firstNonFinite = -1, firstNotUnit = -1;
    std::string unorderedWhat, notUnitWhat;
    for (size_t k = 0; k < track.keys.size(); ++k) {
      const KeyFrame& key = track.keys[k];
      const int at = static_cast<int>(k);
      if (k > 0 && !(key.time > track.keys[k - 1].time) && std::isfinite(key.time)) {
        if (unordered++ == 0) {
          firstUnordered = at;
          unorderedWhat = "the key times do not increase: " + Seconds(key.time) + " after " +
                          Seconds(track.keys[k - 1].time);
        }
      }
      if (!Finite(track, key)) {
        if (nonFinite++ == 0) firstNonFinite = at;
        continue;
      }
      // The game blends rotations as quaternions, which only unit length
      // keeps rotations (the format stores them as quaternions).
      const double length = std::sqrt(Square(key.rotation[0]) + Square(key.rotation[1]) + Square(key.rotation[2]) +
                                      Square(key.rotation[3]));
      if (std::fabs(length - 1.0) > kUnitTolerance && notUnit++ == 0) {
        firstNotUnit = at;
        char text[96];
        std::snprintf(text, sizeof text, "the rotation's length is %.3f, not 1", length);
        notUnitWhat = text;
      }
    }
    if (unordered) AddForKeys(CheckRule::TimesNotIncreasing, a, t, firstUnordered, unordered, unorderedWhat);
    if (nonFinite) {
      AddForKeys(CheckRule::NotFinite, a, t, firstNonFinite, nonFinite, "the key holds a value that is not a number");
    }
    if (notUnit) AddForKeys(CheckRule::RotationNotUnit, a, t, firstNotUnit, notUnit, notUnitWhat);
  }

  // Compressed ANP3 and ANP2 keys are 16-bit fixed point: rotations of
  // 1/4096, times of 1/60 s and translations of 1/1024 m (the format's
  // description), so a save would clamp what lies beyond.
  void CheckRanges(int a, int t, const BoneTrack& track) {
    const TrackClamps clamps = ValuesClampedInTrack(package_.format, track);
    if (clamps.count == 0) return;
    Add(CheckRule::BeyondLayout, a, t, clamps.firstKey,
        std::to_string(clamps.count) + (clamps.count == 1 ? " value lies" : " values lie") +
            " beyond what the layout's compressed keys hold (rotations in [-8, 8), translations in [-32, 32) m, "
            "times up to 546.1 s)");
  }

  // ANP3 and ANP2 give a bone name 24 bytes and the game reads it as a
  // zero-terminated string (the format's description): 23 characters.
  void CheckNameLength(int a, int t, const BoneTrack& track) {
    if (package_.format != kFormatANP3 && package_.format != kFormatANP2) return;
    const size_t length = NameLength(track.name, sizeof track.name);
    if (length > kMaxNameLength) {
      Add(CheckRule::NameTooLong, a, t, -1,
          "the bone name has " + std::to_string(length) + " characters; the layout holds 23");
    }
  }

  // The game binds a track to a bone by its bone id (by its name where the
  // track has none, -1), one track a bone: a second track of the same bone
  // is never played (the format's description of the bone id field).
  void CheckSharedBones(int a, const Animation& animation) {
    std::unordered_map<std::string, int> firstOfBone;
    for (int t = 0; t < animation.boneCount(); ++t) {
      const BoneTrack& track = animation.bones[static_cast<size_t>(t)];
      std::string bone = track.boneId == -1 ? "name " + LowerCase(NameText(track.name))
                                            : "id " + std::to_string(track.boneId);
      auto [first, isFirst] = firstOfBone.emplace(std::move(bone), t);
      if (isFirst) continue;
      const std::string other = Quoted(NameText(animation.bones[static_cast<size_t>(first->second)].name));
      Add(CheckRule::SharedBone, a, t, -1,
          track.boneId == -1 ? "the track drives the same bone by name as track " + other
                             : "the track has the bone id " + std::to_string(track.boneId) + " of track " + other);
    }
  }

  // The game plays an animation for the time of its longest track; a
  // shorter track holds its last key for the rest and loops out of step.
  void CheckTrackEnds(int a, const Animation& animation) {
    const float length = AnimationLength(animation);
    int first = -1;
    size_t shorter = 0;
    for (int t = 0; t < animation.boneCount(); ++t) {
      const BoneTrack& track = animation.bones[static_cast<size_t>(t)];
      if (track.keys.empty() || !(length - track.keys.back().time > kHalfTick)) continue;
      if (shorter++ == 0) first = t;
    }
    if (shorter == 0) return;
    const BoneTrack& track = animation.bones[static_cast<size_t>(first)];
    std::string what = "the track ends at " + Seconds(track.keys.back().time) + ", the animation at " + Seconds(length);
    if (shorter > 1) what += " (" + std::to_string(shorter - 1) + " more tracks end early)";
    Add(CheckRule::UnequalTrackEnds, a, first, -1, std::move(what));
  }

  static bool Finite(const BoneTrack& track, const KeyFrame& key) {
    bool finite = std::isfinite(key.time);
    for (float r : key.rotation) finite = finite && std::isfinite(r);
    if (track.keyType != kKeyKR00) {
      for (float v : key.translation) finite = finite && std::isfinite(v);
    }
    if (track.keyType == kKeyKRTS) {
      for (float v : key.scale) finite = finite && std::isfinite(v);
    }
    return finite;
  }

  static double Square(float v) { return static_cast<double>(v) * v; }

  // Compressed rotations are exact to 1/4096 a component; a length further
  // from 1 than this was not meant.
  static constexpr double kUnitTolerance = 0.01;
  static constexpr float kHalfTick = 0.5f / 60.0f;

  const AnimPackage& package_;
  std::vector<CheckFinding>& findings_;
};

}  // namespace

std::vector<CheckFinding> CheckPackage(const AnimPackage& package, const std::string& archiveEntryName) {
  std::vector<CheckFinding> findings;
  Checker(package, findings).Run(archiveEntryName);
  return findings;
}

std::string FindingPlace(const AnimPackage& package, const CheckFinding& finding) {
  const Animation* animation = AnimationAt(package, finding.animation);
  if (animation == nullptr) return "package";
  std::string place = "animation " + Quoted(NameText(animation->name));
  if (finding.track < 0 || finding.track >= animation->boneCount()) return place;
  place += ", track " + Quoted(NameText(animation->bones[static_cast<size_t>(finding.track)].name));
  if (finding.key >= 0) place += ", key " + std::to_string(finding.key + 1);
  return place;
}

}  // namespace zam
