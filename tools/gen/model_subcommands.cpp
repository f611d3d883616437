#include "model_subcommands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "demo_models.h"
#include "format_textures.h"
#include "platform/file_system.h"
#include "rw_writer.h"

namespace zam::gen {
namespace {

// The benchmark's character: the size of a detailed game character.
constexpr int kLargeVertices = 30000;
constexpr int kLargeBones = 32;

// A subcommand's arguments: at most one of `shapes`, any of `switches`,
// "--rw VERSION" when `takesVersion`, and OUT.
struct Options {
  int shape = -1;  // index into the shapes, -1 for none
  std::vector<bool> switches;
  uint32_t stamp = kRwLibraryStamp;
  const char* out = nullptr;
};

// "3.4.0.3" as the stamp its library writes; false for text of another form.
bool ParseVersion(const char* text, uint32_t& stamp) {
  unsigned major = 0, minor = 0, revision = 0, patch = 0;
  char end = 0;
  if (std::sscanf(text, "%u.%u.%u.%u%c", &major, &minor, &revision, &patch, &end) != 4 || major != 3 || minor > 15 ||
      revision > 15 || patch > 63) {
    return false;
  }
  stamp = RwLibraryStampOf(major << 16 | minor << 12 | revision << 8 | patch);
  return true;
}

bool Parse(int argc, char** argv, const std::vector<const char*>& shapes, const std::vector<const char*>& switches,
           bool takesVersion, Options& options) {
  options.switches.assign(switches.size(), false);
  for (int i = 0; i < argc; ++i) {
    bool matched = false;
    for (size_t s = 0; s < shapes.size() && !matched; ++s) {
      if (std::strcmp(argv[i], shapes[s]) != 0) continue;
      if (options.shape >= 0) return false;
      options.shape = static_cast<int>(s);
      matched = true;
    }
    for (size_t s = 0; s < switches.size() && !matched; ++s) {
      if (std::strcmp(argv[i], switches[s]) == 0) options.switches[s] = matched = true;
    }
    if (matched) continue;
    if (takesVersion && std::strcmp(argv[i], "--rw") == 0) {
      if (++i == argc || !ParseVersion(argv[i], options.stamp)) return false;
    } else if (options.out != nullptr || argv[i][0] == '-') {
      return false;
    } else {
      options.out = argv[i];
    }
  }
  return options.out != nullptr;
}

int Usage() {
  std::fprintf(stderr, "usage:\n%s", kModelUsage);
  return 2;
}

int Write(const char* out, const std::vector<uint8_t>& bytes) {
  if (ReplaceFileAtomically(out, bytes) != FileStatus::Ok) {
    std::fprintf(stderr, "%s: cannot write\n", out);
    return 1;
  }
  return 0;
}

}  // namespace

int RunDffCommand(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, {"--small", "--large", "--formats"}, {"--name-first"}, true, options)) return Usage();
  CharacterDesc desc = options.shape == 0   ? SmallCharacter()
                       : options.shape == 1 ? LargeCharacter(kLargeVertices, kLargeBones)
                       : options.shape == 2 ? FormatsCharacter()
                                            : DemoCharacter();
  desc.frameNameFirst = options.switches[0];
  desc.stamp = options.stamp;
  // The characters of the 3.4 libraries keep their skin in the older layout.
  if (RwLibraryVersion(options.stamp) < 0x35000) desc.skin.maxWeightsPerVertex = 0;
  return Write(options.out, BuildCharacterDff(desc));
}

int RunTxdCommand(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, {"--small", "--large", "--weapon", "--formats", "--formats-d3d9"}, {}, false, options)) {
    return Usage();
  }
  switch (options.shape) {
    case 0:
      return Write(options.out, BuildTxd(SmallCharacterTextures()));
    case 1:
      return Write(options.out, BuildTxd(LargeCharacterTextures()));
    case 2:
      return Write(options.out, BuildTxd(DemoWeaponTextures()));
    case 3:
      return Write(options.out, BuildTxd(FormatTextures(kPlatformD3D8)));
    case 4:
      return Write(options.out, BuildTxd(FormatTextures(kPlatformD3D9)));
    default:
      return Write(options.out, BuildTxd(DemoCharacterTextures()));
  }
}

int RunWeaponCommand(int argc, char** argv) {
  Options options;
  if (!Parse(argc, argv, {}, {}, true, options)) return Usage();
  WeaponDesc desc = DemoWeapon();
  desc.stamp = options.stamp;
  return Write(options.out, BuildWeaponDff(desc));
}

}  // namespace zam::gen
