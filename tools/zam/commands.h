#pragma once
// Every zam subcommand; each takes the arguments after its own name.

#include "cli.h"

namespace zam::cli {

int RunInfo(const Args& args);
int RunDump(const Args& args);
int RunBuild(const Args& args);
int RunConvert(const Args& args);
int RunCheck(const Args& args);
int RunModel(const Args& args);
int RunImg(const Args& args);
int RunPose(const Args& args);
int RunGltf(const Args& args);

}  // namespace zam::cli

namespace zam {
struct AnimPackage;
}

namespace zam::cli {

// Reads an IFP file; on failure prints the program's message and returns
// false. A truncated file is loaded as far as it goes, with a warning.
bool LoadPackage(const std::string& path, AnimPackage& package);
// The same for a package's bytes read from `path` (a file or an archive entry).
bool ReadPackageBytes(const std::string& path, const std::vector<uint8_t>& bytes, AnimPackage& package);

}  // namespace zam::cli
