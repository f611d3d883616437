#include "img/archive_entry_path.h"

#include "base/text.h"
#include "platform/folders.h"

namespace zam {

std::string ArchiveEntryPath(const std::string& archivePath, const std::string& entryName) {
  return archivePath + '\\' + entryName;
}

std::optional<ArchiveEntryRef> ArchiveEntryOfPath(const std::string& path) {
  for (size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    std::string archive = path.substr(0, slash);
    if (slash + 1 < path.size() && EndsWithIgnoringAsciiCase(archive, ".img") &&
        KindOfPath(archive) == PathKind::File) {
      return ArchiveEntryRef{archive, path.substr(slash + 1)};
    }
  }
  return std::nullopt;
}

}  // namespace zam
