#pragma once
// Shared plumbing of the zam subcommands: exit codes, messages, JSON output.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zam::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

using Args = std::vector<std::string>;

// The program's arguments, argv[0] first, paths in UTF-8 as the file
// services take them. Windows hands argv over in the code page, which
// loses what it cannot hold: there they come from the wide command line.
Args ProgramArguments(int argc, char** argv);

// An argument naming something stored in a file (an animation, an archive
// entry): such names are 8-bit bytes of the system's code page.
std::string StoredName(const std::string& argument);

// Prints a one-line message on standard error and returns kExitFailure.
int Fail(const std::string& message);
void Warn(const std::string& message);
// "File cannot open." for a file that could not be read or replaced, with
// its path and the system's reason where there is one; returns kExitFailure.
int FailFile(const std::string& path, const std::string& reason);
int Usage(const char* synopsis);

// Names from a file for a terminal line: control bytes, bytes above 0x7E and
// the backslash become \xNN, so no name can steer the terminal or break the
// columns.
std::string PrintableName(const std::string& name);
// A path (UTF-8) for a message line, escaped as PrintableName escapes names,
// except that characters encoded as valid UTF-8 stay, control characters
// aside, and so does the backslash, which separates the program's folders.
std::string PrintablePath(const std::string& path);

// A JSON string literal of 8-bit text; bytes above 0x7F are taken as Latin-1.
std::string JsonString(const std::string& text);
// A float that reads back to the same value; NaN and infinities, which JSON
// cannot hold, become the strings "nan", "inf" and "-inf".
std::string JsonFloat(float value);
std::string JsonFloats(const float* values, size_t count);

}  // namespace zam::cli
