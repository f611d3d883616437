#include <windows.h>

#include <cstring>

#include "platform/folders.h"
#include "platform/win32/unique_objects.h"

namespace zam {

PathKind KindOfPath(const std::string& path) {
  if (path.empty()) return PathKind::Missing;
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA found;
  win32::UniqueFindHandle find(FindFirstFileA(pattern.c_str(), &found));
  if (!find) return false;
  do {
    if (std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0) continue;
    entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(find.get(), &found));
  return true;
}

std::vector<Drive> LogicalDrives() {
  std::vector<Drive> drives;
  DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(mask & (1u << i))) continue;
    char letter = static_cast<char>('A' + i);
    char root[] = {letter, ':', '\\', '\0'};
    char label[252] = {};
    // A drive without a medium has no label; it is listed all the same.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    if (!GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0)) label[0] = '\0';
    SetErrorMode(oldMode);
    drives.push_back({letter, label});
  }
  return drives;
}

}  // namespace zam
