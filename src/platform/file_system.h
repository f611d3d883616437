#pragma once
// Whole-file reading and crash-safe replacement of files. Implemented once
// for POSIX and once for Win32; paths are UTF-8.

#include <cstdint>
#include <string>
#include <vector>

namespace zam {

enum class FileStatus {
  Ok,
  CannotOpen,   // missing, unreadable, or the target cannot be replaced
  WriteFailed,  // the new contents could not be written completely
};

// Packages and models are read whole. No real one comes near this size; a
// larger file (a wrong file dropped on the window) is refused, not allocated.
inline constexpr uint64_t kMaxWholeFileBytes = uint64_t{1} << 30;

// CannotOpen also for a file larger than kMaxWholeFileBytes.
FileStatus ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);

// Writes `bytes` to a temporary file in the target's folder and then renames
// it over the target, so a failure at any point leaves the old file intact
// and no half-written file behind. A target that is a symbolic link stays
// one: the file it points to is replaced.
FileStatus ReplaceFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace zam
