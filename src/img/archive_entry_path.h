#pragma once
// An entry of an IMG archive named by one path: the archive's path, "\" and
// the entry's name ("C:\game\models.img\ped.dff"). The settings record models
// taken from archives this way, so the next start finds them again.

#include <optional>
#include <string>

namespace zam {

std::string ArchiveEntryPath(const std::string& archivePath, const std::string& entryName);

struct ArchiveEntryRef {
  std::string archive;
  std::string entry;
};

// The archive and entry a path names: the shortest leading part that ends
// with ".img" (in any case) and is an existing file, and the non-empty rest
// after its "\". Nothing for a path without such a part.
std::optional<ArchiveEntryRef> ArchiveEntryOfPath(const std::string& path);

}  // namespace zam
