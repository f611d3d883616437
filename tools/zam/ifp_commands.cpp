// zam info, dump, build and convert.

#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "anim/anim_package.h"
#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "anim/package_json.h"
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

std::string KeyTypeText(uint32_t keyType) {
  return IsPrintableFourCC(keyType) ? FourCCText(keyType) : std::to_string(static_cast<int32_t>(keyType));
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

// Writes the package in its layout, replacing `path` atomically, with a
// warning for each thing the layout cannot hold.
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

int WritePackage(const AnimPackage& package, const std::string& path) {
  if (package.format == kFormatANPK) WarnKeysLeftOut(package);
  WarnScaleLeftOut(package);
  std::vector<uint8_t> bytes;
  WriteIfp(package, bytes);
  FileResult written = ReplaceFileAtomically(path, bytes);
  if (written.status == FileStatus::WriteFailed) {
    return Fail(PrintablePath(path) + ": the file could not be written (" + written.reason + "); nothing was changed");
  }
  return written.ok() ? kExitOk : FailFile(path, written.reason);
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
  WritePackageJson(package, [](const char* text, size_t size) { std::fwrite(text, 1, size, stdout); });
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kExitOk : Fail("the JSON could not be written");
}

int RunBuild(const Args& args) {
  if (args.size() != 2) return Usage("zam build JSON OUT");
  std::vector<uint8_t> text;
  FileResult read = ReadWholeFile(args[0], text);
  if (!read.ok()) return FailFile(args[0], read.reason);
  AnimPackage package{};
  const std::optional<PackageJsonError> error =
      ReadPackageJson(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), package);
  if (error) {
    return Fail(PrintablePath(args[0]) + ": line " + std::to_string(error->line) + ", column " +
                std::to_string(error->column) + ": " + error->message + "; nothing was written");
  }
  if (RefuseClamping(package, args[1])) return kExitFailure;
  return WritePackage(package, args[1]);
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
  return WritePackage(package, files[1]);
}

}  // namespace zam::cli
