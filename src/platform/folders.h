#pragma once
// Folders and drives as the browser sees them. Implemented once for POSIX and
// once for Win32. Paths are the program's: a drive letter and a colon, then
// components separated by "\", in UTF-8 (names listed come back so). POSIX
// has one drive, Z:, whose root is the root of the file system, as Wine
// presents it to Windows programs.

#include <string>
#include <vector>

namespace zam {

enum class PathKind { Missing, File, Folder };
PathKind KindOfPath(const std::string& path);

struct FolderEntry {
  std::string name;
  bool isFolder;
};

// The entries of `folder` in the order the file system gives them, without
// "." and ".."; false (and no entries) when it cannot be read.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries);

struct Drive {
  char letter;        // upper case
  std::string label;  // the volume label; empty when there is none or the drive cannot say
};

// The drives that exist, from A to Z.
std::vector<Drive> LogicalDrives();

}  // namespace zam
