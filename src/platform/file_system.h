#pragma once
// Whole-file reading and crash-safe replacement of files. Implemented once
// for POSIX and once for Win32; paths are UTF-8.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zam {

enum class FileStatus {
  Ok,
  CannotOpen,   // missing, unreadable, or the target cannot be replaced
  ReadOnly,     // the target is marked read-only: it is left as it was
  WriteFailed,  // the new contents could not be written completely
};

// What came of reading or replacing a file: on failure, also the system's
// words for why ("No space left on device"), for the user to see.
struct FileResult {
  FileStatus status = FileStatus::Ok;
  std::string reason;

  bool ok() const { return status == FileStatus::Ok; }
  friend bool operator==(const FileResult& result, FileStatus status) { return result.status == status; }
  friend bool operator!=(const FileResult& result, FileStatus status) { return result.status != status; }
};

// Packages and models are read whole. No real one comes near this size; a
// larger file (a wrong file dropped on the window) is refused, not allocated.
inline constexpr uint64_t kMaxWholeFileBytes = uint64_t{1} << 30;

// CannotOpen also for a file larger than kMaxWholeFileBytes.
FileResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);

// Whether the existing file at `path` can be replaced now: it is there, not
// read-only, and no other program holds it open against writing.
FileResult CheckReplaceable(const std::string& path);

// Writes `bytes` to a temporary file in the target's folder and then renames
// it over the target, so a failure at any point leaves the old file intact
// and no half-written file behind. A target that is a symbolic link stays
// one: the file it points to is replaced. A read-only target is refused, as
// the user marked it so that nothing replaces it.
FileResult ReplaceFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// Renames the file `from` over `to` (both in one folder) in one step, and
// makes the rename reach the disk where the system allows.
FileResult MoveFileOver(const std::string& from, const std::string& to);

// `path` from the root of its file system: a relative one joined to the
// working folder, so that it names the same file from any working folder.
std::string AbsolutePath(const std::string& path);

// The bytes the user may still write on the volume holding `path`'s folder;
// nothing when the system does not tell.
std::optional<uint64_t> FreeSpaceBeside(const std::string& path);

}  // namespace zam
