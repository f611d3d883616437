// zam info, dump and convert.

#include <cstdio>
#include <set>
#include <string>

#include "anim/anim_package.h"
#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "anim/package_layouts.h"
#include "base/messages.h"
#include "commands.h"
#include "platform/file_system.h"

namespace zam::cli {
namespace {

std::string LayoutName(uint32_t format) {
  const PackageLayout* layout = LayoutOfTag(format);
  return layout ? layout->shownName : "none";
}

std::string KeyTypeJson(uint32_t keyType) {
  return IsPrintableFourCC(keyType) ? JsonString(FourCCText(keyType)) : std::to_string(static_cast<int32_t>(keyType));
}

std::string KeyTypeText(uint32_t keyType) {
  return IsPrintableFourCC(keyType) ? FourCCText(keyType) : std::to_string(static_cast<int32_t>(keyType));
}

void DumpKey(const KeyFrame& key, bool last) {
  std::printf("        {\"rotation\": %s, \"translation\": %s, \"scale\": %s, \"time\": %s}%s\n",
              JsonFloats(key.rotation, 4).c_str(), JsonFloats(key.translation, 3).c_str(),
              JsonFloats(key.scale, 3).c_str(), JsonFloat(key.time).c_str(), last ? "" : ",");
}

void DumpTrack(const BoneTrack& track, bool last) {
  std::printf("      {\"name\": %s, \"boneId\": %d, \"keyType\": %s, \"anpkWord1\": %d, \"anpkWord2\": %d, \"keys\": [\n",
              JsonString(NameText(track.name)).c_str(), track.boneId, KeyTypeJson(track.keyType).c_str(),
              track.anpkWord1, track.anpkWord2);
  for (size_t k = 0; k < track.keys.size(); ++k) DumpKey(track.keys[k], k + 1 == track.keys.size());
  std::printf("      ]}%s\n", last ? "" : ",");
}

// ANPK stores no keys for a key type it does not know; the tracks stay.
void WarnKeysLeftOut(const AnimPackage& package) {
  for (const Animation& animation : package.animations) {
    for (const BoneTrack& track : animation.bones) {
      if (HasKnownKeyType(track) || track.keys.empty()) continue;
      Warn("animation " + JsonString(NameText(animation.name)) + ", track " + JsonString(NameText(track.name)) +
           ": key type " + KeyTypeText(track.keyType) + " is unknown; its " + std::to_string(track.keys.size()) +
           " keys are left out");
    }
  }
}

// ANP3 stores no scale: KRTS tracks are written as KRT0 without it.
void WarnScaleLeftOut(const AnimPackage& package) {
  for (const TrackPlace& place : TracksLosingScale(package)) {
    const Animation& animation = package.animations[static_cast<size_t>(place.animation)];
    const BoneTrack& track = animation.bones[static_cast<size_t>(place.track)];
    Warn("animation " + JsonString(NameText(animation.name)) + ", track " + JsonString(NameText(track.name)) +
         ": KRTS keys are written as KRT0; their scale is left out");
  }
}

}  // namespace

bool LoadPackage(const std::string& path, AnimPackage& package) {
  std::vector<uint8_t> bytes;
  FileResult read = ReadWholeFile(path, bytes);
  if (!read.ok()) {
    FailFile(path, read.reason);
    return false;
  }
  return ReadPackageBytes(path, bytes, package);
}

bool ReadPackageBytes(const std::string& path, const std::vector<uint8_t>& bytes, AnimPackage& package) {
  IfpReadStatus status = ReadIfp(bytes.data(), bytes.size(), package);
  if (status == IfpReadStatus::UnknownFormat) {
    Fail(msg::kUnknownFormat);
    return false;
  }
  // Nothing past a negative count can be trusted: no command works on such a file.
  if (status == IfpReadStatus::Damaged) {
    Fail(PrintablePath(path) + ": the file is damaged: it declares a negative count of animations, tracks or keys");
    return false;
  }
  if (status == IfpReadStatus::Truncated) Warn(PrintablePath(path) + ": the file is truncated; what it holds was read");
  return true;
}

int RunInfo(const Args& args) {
  if (args.size() != 1) return Usage("zam info FILE");
  AnimPackage package{};
  if (!LoadPackage(args[0], package)) return kExitFailure;
  std::printf("layout: %s\nname: %s\nanimations: %d\n", LayoutName(package.format).c_str(),
              PrintableName(NameText(package.name)).c_str(), package.animationCount());
  for (const Animation& animation : package.animations) {
    std::set<std::string> types;
    for (const BoneTrack& track : animation.bones) types.insert(KeyTypeText(track.keyType));
    std::string typeList;
    for (const std::string& type : types) typeList += (typeList.empty() ? "" : " ") + type;
    std::printf("  %-24s tracks %3d  frames %5d  keys %s\n", PrintableName(NameText(animation.name)).c_str(),
                animation.boneCount(), AnimationLengthFrames(animation), typeList.c_str());
  }
  return kExitOk;
}

int RunDump(const Args& args) {
  if (args.size() != 1) return Usage("zam dump FILE");
  AnimPackage package{};
  if (!LoadPackage(args[0], package)) return kExitFailure;
  std::printf("{\n  \"format\": %s,\n  \"name\": %s,\n  \"animations\": [\n", JsonString(LayoutName(package.format)).c_str(),
              JsonString(NameText(package.name)).c_str());
  for (size_t a = 0; a < package.animations.size(); ++a) {
    const Animation& animation = package.animations[a];
    std::printf("    {\"name\": %s, \"extraWord\": %d, \"keyDataSize\": %d, \"tracks\": [\n",
                JsonString(NameText(animation.name)).c_str(), animation.extraWord, animation.keyDataSize);
    for (size_t t = 0; t < animation.bones.size(); ++t) DumpTrack(animation.bones[t], t + 1 == animation.bones.size());
    std::printf("    ]}%s\n", a + 1 == package.animations.size() ? "" : ",");
  }
  std::printf("  ]\n}\n");
  return kExitOk;
}

// A save into ANP3 or ANP2 would clamp what their compressed keys cannot hold.
bool RefuseClamping(const AnimPackage& package, const std::string& out) {
  const ClampedValues clamped = ValuesClampedOnWrite(package);
  if (clamped.count == 0) return false;
  const Animation& animation = package.animations[static_cast<size_t>(clamped.first.animation)];
  const BoneTrack& track = animation.bones[static_cast<size_t>(clamped.first.track)];
  Fail(PrintablePath(out) + ": not written: " + std::to_string(clamped.count) +
       " values lie beyond what the layout's compressed keys hold (translations in [-32, 32) m, times up to "
       "546.1 s, rotations in [-8, 8)), the first in animation " +
       JsonString(NameText(animation.name)) + ", track " + JsonString(NameText(track.name)) +
       "; --float keeps them as floats, --clamp writes the nearest values held");
  return true;
}

int RunConvert(const Args& args) {
  constexpr const char* kSynopsis = "zam convert --to anpk|anp3|anp2 [--float] [--clamp] IN OUT";
  const PackageLayout* layout = nullptr;
  bool floatFrames = false, clamp = false;
  Args files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--to" && i + 1 < args.size()) {
      layout = LayoutNamed(args[++i]);
      if (layout == nullptr) return Usage(kSynopsis);
    } else if (args[i] == "--float") {
      floatFrames = true;
    } else if (args[i] == "--clamp") {
      clamp = true;
    } else {
      files.push_back(args[i]);
    }
  }
  if (layout == nullptr || files.size() != 2) return Usage(kSynopsis);
  if (floatFrames && layout->tag == kFormatANPK) return Usage(kSynopsis);
  AnimPackage package{};
  if (!LoadPackage(files[0], package)) return kExitFailure;
  package.format = layout->tag;
  if (floatFrames) {
    for (Animation& animation : package.animations) {
      for (BoneTrack& track : animation.bones) track.floatFrames = true;
    }
  }
  if (!clamp && RefuseClamping(package, files[1])) return kExitFailure;
  if (layout->tag == kFormatANPK) WarnKeysLeftOut(package);
  WarnScaleLeftOut(package);
  std::vector<uint8_t> bytes;
  WriteIfp(package, bytes);
  FileResult written = ReplaceFileAtomically(files[1], bytes);
  if (written.status == FileStatus::WriteFailed) {
    return Fail(PrintablePath(files[1]) + ": the file could not be written (" + written.reason +
                "); nothing was changed");
  }
  return written.ok() ? kExitOk : FailFile(files[1], written.reason);
}

}  // namespace zam::cli
