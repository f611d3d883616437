#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

#include "platform/folders.h"
#include "platform/posix/posix_path.h"

namespace zam {

PathKind KindOfPath(const std::string& path) {
  struct stat info {};
  if (path.empty() || stat(PosixPath(path).c_str(), &info) != 0) return PathKind::Missing;
  return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  std::string native = PosixPath(folder);
  DIR* dir = opendir(native.c_str());
  if (!dir) return false;
  if (native.back() != '/') native += '/';
  while (const dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    struct stat info {};
    bool isFolder = stat((native + entry->d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    entries.push_back({entry->d_name, isFolder});
  }
  closedir(dir);
  return true;
}

std::vector<Drive> LogicalDrives() { return {{'Z', std::string()}}; }

}  // namespace zam
