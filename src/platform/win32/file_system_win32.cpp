#include <windows.h>

#include "platform/file_system.h"
#include "platform/replace_temp_names.h"
#include "platform/win32/unique_objects.h"
#include "platform/win32/wide_text.h"

namespace zam {
namespace {

// The folder part with its separator, so that a name can follow directly.
std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".\\";
  return path.substr(0, slash + 1);
}

// The file a path leads to through a symbolic link, so that saving through a
// link replaces the file it points to rather than the link; empty when the
// link leads nowhere.
std::string FollowLinks(const std::string& path) {
  std::wstring wide = WideFromUtf8(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
  win32::UniqueHandle file(CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return std::string();
  std::wstring target(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file.get(), target.data(), static_cast<DWORD>(target.size()), 0);
  if (length >= target.size()) {
    target.resize(length);
    length = GetFinalPathNameByHandleW(file.get(), target.data(), static_cast<DWORD>(target.size()), 0);
  }
  if (length == 0 || length >= target.size()) return std::string();
  target.resize(length);
  return Utf8FromWide(target);
}

ULONGLONG Ticks(const FILETIME& time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

// Leftovers of saves killed before their rename: temporaries of our own
// pattern in `folder`, last written a day ago or earlier. Windows has no
// files without a name, so this is the only cleaning there is; a temporary
// another save holds open cannot be deleted and stays.
void RemoveStaleTemporaries(const std::string& folder) {
  std::wstring wideFolder = WideFromUtf8(folder);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((wideFolder + WideFromUtf8(kReplaceTempPrefix) + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG kTicksPerSecond = 10000000;
  do {
    bool plainFile = !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    bool stale = Ticks(found.ftLastWriteTime) + kStaleTempSeconds * kTicksPerSecond <= Ticks(now);
    if (plainFile && stale && IsReplaceTempName(Utf8FromWide(found.cFileName).c_str())) {
      DeleteFileW((wideFolder + found.cFileName).c_str());
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// A new file of the temporary pattern in `folder`, named `temp`.
HANDLE CreateTemporary(const std::string& folder, std::string& temp) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    temp = folder + NewReplaceTempName();
    HANDLE file = CreateFileW(WideFromUtf8(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

FileStatus ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  win32::UniqueHandle file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return FileStatus::CannotOpen;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || static_cast<uint64_t>(size.QuadPart) > kMaxWholeFileBytes) {
    return FileStatus::CannotOpen;
  }
  // The size the file has now, in one read; a file that changes meanwhile
  // is read to wherever it ends.
  out.resize(static_cast<size_t>(size.QuadPart));
  size_t got = 0;
  while (got < out.size()) {
    DWORD wanted = static_cast<DWORD>(out.size() - got < 0x40000000 ? out.size() - got : 0x40000000);
    DWORD n = 0;
    if (!ReadFile(file.get(), out.data() + got, wanted, &n, nullptr)) return FileStatus::CannotOpen;
    if (n == 0) break;
    got += n;
  }
  out.resize(got);
  uint8_t more[4096];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.get(), more, sizeof more, &n, nullptr)) return FileStatus::CannotOpen;
    if (n == 0) break;
    if (out.size() + n > kMaxWholeFileBytes) return FileStatus::CannotOpen;
    out.insert(out.end(), more, more + n);
  }
  return FileStatus::Ok;
}

FileStatus ReplaceFileAtomically(const std::string& requested, const std::vector<uint8_t>& bytes) {
  std::string path = FollowLinks(requested);
  if (path.empty()) return FileStatus::CannotOpen;
  std::string folder = FolderOf(path);
  RemoveStaleTemporaries(folder);
  std::string temp;
  bool written = false;
  {
    win32::UniqueHandle file(CreateTemporary(folder, temp));
    if (file.get() == INVALID_HANDLE_VALUE) return FileStatus::CannotOpen;
    DWORD put = 0;
    written = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
              put == bytes.size() && FlushFileBuffers(file.get());
    written = CloseHandle(file.release()) && written;
  }
  std::wstring wideTemp = WideFromUtf8(temp);
  if (!written) {
    DeleteFileW(wideTemp.c_str());
    return FileStatus::WriteFailed;
  }
  if (!MoveFileExW(wideTemp.c_str(), WideFromUtf8(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(wideTemp.c_str());
    return FileStatus::CannotOpen;
  }
  return FileStatus::Ok;
}

}  // namespace zam
