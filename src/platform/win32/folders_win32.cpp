#include <windows.h>

#include <cwchar>

#include "platform/folders.h"
#include "platform/win32/unique_objects.h"
#include "platform/win32/wide_text.h"

namespace zam {

PathKind KindOfPath(const std::string& path) {
  if (path.empty()) return PathKind::Missing;
  DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  std::string pattern = folder;
  if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found;
  win32::UniqueFindHandle find(FindFirstFileW(WideFromUtf8(pattern).c_str(), &found));
  if (!find) return false;
  do {
    if (std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0) continue;
    entries.push_back({Utf8FromWide(found.cFileName), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(find.get(), &found));
  return true;
}

std::vector<Drive> LogicalDrives() {
  std::vector<Drive> drives;
  DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(mask & (1u << i))) continue;
    char letter = static_cast<char>('A' + i);
    wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', L'\0'};
    wchar_t label[MAX_PATH + 1] = {};
    // A drive without a medium has no label; it is listed all the same.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    if (!GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) label[0] = L'\0';
    SetErrorMode(oldMode);
    drives.push_back({letter, Utf8FromWide(label)});
  }
  return drives;
}

}  // namespace zam
