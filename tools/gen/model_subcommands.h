#pragma once
// zamgen's model subcommands: the demo character, its dictionary and the
// demo weapon. Each takes the arguments after its own name.

namespace zam::gen {

inline constexpr const char kModelUsage[] =
    "       zamgen dff [--small|--large] OUT\n"
    "       zamgen txd [--small|--large|--weapon] OUT\n"
    "       zamgen weapon OUT\n";

int RunDffCommand(int argc, char** argv);
int RunTxdCommand(int argc, char** argv);
int RunWeaponCommand(int argc, char** argv);

}  // namespace zam::gen
