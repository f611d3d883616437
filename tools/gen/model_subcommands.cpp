#include "model_subcommands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "demo_models.h"
#include "platform/file_system.h"

namespace zam::gen {
namespace {

// The benchmark's character: the size of a detailed game character.
constexpr int kLargeVertices = 30000;
constexpr int kLargeBones = 32;

// Parses "[--flag] OUT" where the flag, if any, is one of `flags`; returns
// the flag's index (-1 for none) or -2 on a usage error.
int ParseArgs(int argc, char** argv, const std::vector<const char*>& flags, const char*& out) {
  int chosen = -1;
  out = nullptr;
  for (int i = 0; i < argc; ++i) {
    bool matched = false;
    for (size_t f = 0; f < flags.size(); ++f) {
      if (std::strcmp(argv[i], flags[f]) == 0 && chosen < 0) {
        chosen = static_cast<int>(f);
        matched = true;
      }
    }
    if (matched) continue;
    if (out != nullptr || argv[i][0] == '-') return -2;
    out = argv[i];
  }
  return out == nullptr ? -2 : chosen;
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
  const char* out = nullptr;
  switch (ParseArgs(argc, argv, {"--small", "--large"}, out)) {
    case -1: return Write(out, BuildCharacterDff(DemoCharacter()));
    case 0: return Write(out, BuildCharacterDff(SmallCharacter()));
    case 1: return Write(out, BuildCharacterDff(LargeCharacter(kLargeVertices, kLargeBones)));
    default: return Usage();
  }
}

int RunTxdCommand(int argc, char** argv) {
  const char* out = nullptr;
  switch (ParseArgs(argc, argv, {"--small", "--large", "--weapon"}, out)) {
    case -1: return Write(out, BuildTxd(DemoCharacterTextures()));
    case 0: return Write(out, BuildTxd(SmallCharacterTextures()));
    case 1: return Write(out, BuildTxd(LargeCharacterTextures()));
    case 2: return Write(out, BuildTxd(DemoWeaponTextures()));
    default: return Usage();
  }
}

int RunWeaponCommand(int argc, char** argv) {
  const char* out = nullptr;
  if (ParseArgs(argc, argv, {}, out) != -1) return Usage();
  return Write(out, BuildWeaponDff(DemoWeapon()));
}

}  // namespace zam::gen
