// zam: batch work on animation packages without the editor's window.

#include <cstdio>

#include "commands.h"
#include "platform/temporary_notes.h"

namespace {

struct Command {
  const char* name;
  int (*run)(const zam::cli::Args&);
  const char* synopsis;
};

constexpr Command kCommands[] = {
    {"info", zam::cli::RunInfo, "zam info FILE"},
    {"dump", zam::cli::RunDump, "zam dump FILE"},
    {"build", zam::cli::RunBuild, "zam build JSON OUT"},
    {"convert", zam::cli::RunConvert, "zam convert --to anpk|anp3|anp2 [--float] [--clamp] IN OUT"},
    {"check", zam::cli::RunCheck, "zam check [--to anpk|anp3|anp2] FILE|ARCHIVE.img\\ENTRY..."},
    {"model", zam::cli::RunModel, "zam model DFF [TXD] [--weapon]"},
    {"pose", zam::cli::RunPose, "zam pose DFF IFP ANIMATION TIME"},
    {"img", zam::cli::RunImg,
     "zam img list ARCHIVE | extract ARCHIVE ENTRY OUT | put ARCHIVE ENTRY FILE\n"
     "      | add [--replace] ARCHIVE FILE [NAME] | delete ARCHIVE NAME | rename ARCHIVE OLD NEW | rebuild ARCHIVE"},
    {"gltf", zam::cli::RunGltf,
     "zam gltf DFF [TXD] IFP OUT.glb [--animation NAME...] [--weapon WEAPON.dff [WEAPON.txd]]"},
};

int PrintUsage() {
  std::fprintf(stderr, "usage:\n");
  for (const Command& command : kCommands) std::fprintf(stderr, "  %s\n", command.synopsis);
  return zam::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // What an earlier run, or the editor, left behind when it was killed.
  zam::RemoveAbandonedTemporaries();
  const zam::cli::Args arguments = zam::cli::ProgramArguments(argc, argv);
  if (arguments.size() < 2) return PrintUsage();
  for (const Command& command : kCommands) {
    if (arguments[1] == command.name) return command.run(zam::cli::Args(arguments.begin() + 2, arguments.end()));
  }
  return PrintUsage();
}
