#pragma once
// zamgen's model subcommands: the demo character, its dictionary and the
// demo weapon, and the variants tests need (other library versions, section
// orders and texture formats). Each takes the arguments after its own name.

namespace zam::gen {

inline constexpr const char kModelUsage[] =
    "       zamgen dff [--small|--large|--formats] [--name-first] [--rw VERSION] OUT\n"
    "       zamgen txd [--small|--large|--weapon|--formats|--formats-d3d9] OUT\n"
    "       zamgen weapon [--rw VERSION] OUT\n";

int RunDffCommand(int argc, char** argv);
int RunTxdCommand(int argc, char** argv);
int RunWeaponCommand(int argc, char** argv);

}  // namespace zam::gen
