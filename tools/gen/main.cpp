// zamgen: writes the project's own sample files (packages for tests, the demo
// and benchmarks), so no test data comes from elsewhere.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "anim/ifp_writer.h"
#include "broken_packages.h"
#include "demo_animations.h"
#include "demo_models.h"
#include "img_builder.h"
#include "model_subcommands.h"
#include "platform/file_system.h"
#include "sample_packages.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: zamgen package [--anp3|--anp2] [--float] [--anim-section 40|48] [--empty-tracks]\n"
               "                      [--large|--real] [--break %s] OUT\n"
               "       zamgen demo FOLDER\n"
               "       zamgen img [--lower-tag] [--junk-names] [--v1] OUT NAME=FILE...\n"
               "       zamgen large-img OUT COUNT MEAN_SECTORS\n"
               "%s",
               zam::gen::kBrokenRules, zam::gen::kModelUsage);
  return 2;
}

int WritePackage(int argc, char** argv) {
  zam::gen::PackageShape shape;
  uint32_t format = zam::kFormatANPK;
  bool large = false, real = false, floatFrames = false, emptyTracks = false;
  int animSectionSize = 44;
  const char* broken = nullptr;
  const char* out = nullptr;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--anp3") == 0) {
      format = zam::kFormatANP3;
    } else if (std::strcmp(argv[i], "--anp2") == 0) {
      format = zam::kFormatANP2;
    } else if (std::strcmp(argv[i], "--float") == 0) {
      floatFrames = true;
    } else if (std::strcmp(argv[i], "--empty-tracks") == 0) {
      emptyTracks = true;
    } else if (std::strcmp(argv[i], "--anim-section") == 0 && i + 1 < argc) {
      animSectionSize = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--break") == 0 && i + 1 < argc) {
      broken = argv[++i];
    } else if (std::strcmp(argv[i], "--large") == 0) {
      large = true;
    } else if (std::strcmp(argv[i], "--real") == 0) {
      real = true;
    } else if (out == nullptr) {
      out = argv[i];
    } else {
      return Usage();
    }
  }
  if (out == nullptr) return Usage();
  if (large) shape = zam::gen::LargeGameShape(format);
  if (real) shape = zam::gen::RealGameShape(format);
  shape.format = format;
  shape.floatFrames = floatFrames;
  shape.emptyTracks = emptyTracks;
  shape.anpkAnimSize = animSectionSize;
  zam::AnimPackage package = zam::gen::MakePackage(shape);
  if (broken != nullptr && !zam::gen::BreakRule(broken, package)) return Usage();
  std::vector<uint8_t> bytes;
  zam::WriteIfp(package, bytes);
  if (zam::ReplaceFileAtomically(out, bytes) != zam::FileStatus::Ok) {
    std::fprintf(stderr, "%s: cannot write\n", out);
    return 1;
  }
  return 0;
}

bool WriteTo(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (zam::ReplaceFileAtomically(path, bytes) == zam::FileStatus::Ok) return true;
  std::fprintf(stderr, "%s: cannot write\n", path.c_str());
  return false;
}

// An IMG archive of the given files, each stored under the name before its "=".
int WriteImg(int argc, char** argv) {
  zam::gen::ImgBuildOptions options;
  std::vector<zam::gen::ImgBuildEntry> entries;
  const char* out = nullptr;
  bool v1 = false;
  for (int i = 0; i < argc; ++i) {
    const char* eq = std::strchr(argv[i], '=');
    if (std::strcmp(argv[i], "--v1") == 0) {
      v1 = true;
    } else if (std::strcmp(argv[i], "--lower-tag") == 0) {
      options.lowerCaseTag = true;
    } else if (std::strcmp(argv[i], "--junk-names") == 0) {
      options.namePadding = 0xFF;
    } else if (out == nullptr) {
      out = argv[i];
    } else if (eq != nullptr) {
      zam::gen::ImgBuildEntry entry;
      entry.name.assign(argv[i], static_cast<size_t>(eq - argv[i]));
      if (zam::ReadWholeFile(eq + 1, entry.data) != zam::FileStatus::Ok) {
        std::fprintf(stderr, "%s: cannot read\n", eq + 1);
        return 1;
      }
      entries.push_back(std::move(entry));
    } else {
      return Usage();
    }
  }
  if (out == nullptr) return Usage();
  if (v1) {
    // OUT names the ".img"; the ".dir" goes beside it.
    std::string data = out;
    size_t dot = data.find_last_of('.');
    std::string directory = (dot == std::string::npos ? data : data.substr(0, dot)) + ".dir";
    zam::gen::ImgPairBytes pair = zam::gen::BuildImgPair(entries);
    return WriteTo(data, pair.data) && WriteTo(directory, pair.directory) ? 0 : 1;
  }
  if (zam::ReplaceFileAtomically(out, zam::gen::BuildImgArchive(entries, options)) != zam::FileStatus::Ok) {
    std::fprintf(stderr, "%s: cannot write\n", out);
    return 1;
  }
  return 0;
}

// The editor's demo in an existing folder: the demo package in both layouts,
// the character and the pistol with their dictionaries, and an IMG archive
// holding all of them.
int WriteDemo(int argc, char** argv) {
  if (argc != 1) return Usage();
  const std::string folder = argv[0];
  std::vector<zam::gen::ImgBuildEntry> entries;
  auto add = [&](const char* name, std::vector<uint8_t> bytes) {
    entries.push_back({name, std::move(bytes)});
    return WriteTo(folder + "/" + name, entries.back().data);
  };
  std::vector<uint8_t> anpk, anp3;
  zam::WriteIfp(zam::gen::DemoPackage(zam::kFormatANPK), anpk);
  zam::WriteIfp(zam::gen::DemoPackage(zam::kFormatANP3), anp3);
  bool written = add("demo.ifp", anpk) && add("demo_anp3.ifp", anp3) &&
                 add("character.dff", zam::gen::BuildCharacterDff(zam::gen::DemoCharacter())) &&
                 add("character.txd", zam::gen::BuildTxd(zam::gen::DemoCharacterTextures())) &&
                 add("pistol.dff", zam::gen::BuildWeaponDff(zam::gen::DemoWeapon())) &&
                 add("pistol.txd", zam::gen::BuildTxd(zam::gen::DemoWeaponTextures())) &&
                 WriteTo(folder + "/demo.img", zam::gen::BuildImgArchive(entries, {}));
  return written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "demo") == 0) return WriteDemo(argc - 2, argv + 2);
  if (argc >= 2 && std::strcmp(argv[1], "package") == 0) return WritePackage(argc - 2, argv + 2);
  if (argc >= 2 && std::strcmp(argv[1], "img") == 0) return WriteImg(argc - 2, argv + 2);
  if (argc == 5 && std::strcmp(argv[1], "large-img") == 0) {
    long count = std::strtol(argv[3], nullptr, 10), mean = std::strtol(argv[4], nullptr, 10);
    if (count < 0 || count > 1000000 || mean < 1 || mean > 100000) return Usage();
    return zam::gen::WriteLargeImgArchive(argv[2], static_cast<uint32_t>(count), static_cast<uint32_t>(mean)) ? 0 : 1;
  }
  if (argc >= 2 && std::strcmp(argv[1], "dff") == 0) return zam::gen::RunDffCommand(argc - 2, argv + 2);
  if (argc >= 2 && std::strcmp(argv[1], "txd") == 0) return zam::gen::RunTxdCommand(argc - 2, argv + 2);
  if (argc >= 2 && std::strcmp(argv[1], "weapon") == 0) return zam::gen::RunWeaponCommand(argc - 2, argv + 2);
  return Usage();
}
