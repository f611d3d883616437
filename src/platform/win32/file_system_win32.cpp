#include <windows.h>

#include <string>

#include "base/messages.h"
#include "platform/file_system.h"
#include "platform/replace_temp_names.h"
#include "platform/temporary_notes.h"
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

// The system's words for a Win32 error, without the line break it ends in.
std::string SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring wide(text != nullptr ? text : L"", length);
  LocalFree(text);
  while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' ')) wide.pop_back();
  return wide.empty() ? "error " + std::to_string(error) : Utf8FromWide(wide);
}

FileResult Failure(FileStatus status, DWORD error) { return FileResult{status, SystemErrorText(error)}; }

// Refuses an existing target that no file may replace: a folder, or a file
// marked read-only (renaming over one succeeds under Wine, though the user
// marked it so that nothing replaces it). Ok otherwise.
FileResult RefusedTarget(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Failure(FileStatus::CannotOpen, ERROR_ACCESS_DENIED);
  if (attributes & FILE_ATTRIBUTE_READONLY) return FileResult{FileStatus::ReadOnly, msg::kFileReadOnly};
  return FileResult{};
}

// A new file of the temporary pattern in `folder`, named `temp`, noted
// before it is made.
HANDLE CreateTemporary(const std::string& folder, TemporaryNote& note, std::string& temp) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    temp = folder + NewReplaceTempName();
    note.Name(temp);
    HANDLE file = CreateFileW(WideFromUtf8(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

FileResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  win32::UniqueHandle file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return Failure(FileStatus::CannotOpen, GetLastError());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return Failure(FileStatus::CannotOpen, GetLastError());
  if (static_cast<uint64_t>(size.QuadPart) > kMaxWholeFileBytes) return Failure(FileStatus::CannotOpen, ERROR_FILE_TOO_LARGE);
  // The size the file has now, in one read; a file that changes meanwhile
  // is read to wherever it ends.
  out.resize(static_cast<size_t>(size.QuadPart));
  size_t got = 0;
  while (got < out.size()) {
    DWORD wanted = static_cast<DWORD>(out.size() - got < 0x40000000 ? out.size() - got : 0x40000000);
    DWORD n = 0;
    if (!ReadFile(file.get(), out.data() + got, wanted, &n, nullptr)) return Failure(FileStatus::CannotOpen, GetLastError());
    if (n == 0) break;
    got += n;
  }
  out.resize(got);
  uint8_t more[4096];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.get(), more, sizeof more, &n, nullptr)) return Failure(FileStatus::CannotOpen, GetLastError());
    if (n == 0) break;
    if (out.size() + n > kMaxWholeFileBytes) return Failure(FileStatus::CannotOpen, ERROR_FILE_TOO_LARGE);
    out.insert(out.end(), more, more + n);
  }
  return FileResult{};
}

FileResult CheckReplaceable(const std::string& requested) {
  std::string path = FollowLinks(requested);
  if (path.empty()) return Failure(FileStatus::CannotOpen, ERROR_CANT_RESOLVE_FILENAME);
  std::wstring widePath = WideFromUtf8(path);
  DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Failure(FileStatus::CannotOpen, GetLastError());
  if (FileResult refused = RefusedTarget(attributes); !refused.ok()) return refused;
  win32::UniqueHandle file(CreateFileW(widePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.get() != INVALID_HANDLE_VALUE ? FileResult{} : Failure(FileStatus::CannotOpen, GetLastError());
}

FileResult ReplaceFileAtomically(const std::string& requested, const std::vector<uint8_t>& bytes) {
  std::string path = FollowLinks(requested);
  if (path.empty()) return Failure(FileStatus::CannotOpen, ERROR_CANT_RESOLVE_FILENAME);
  std::wstring widePath = WideFromUtf8(path);
  DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (FileResult refused = RefusedTarget(attributes); !refused.ok()) return refused;
  }
  std::string folder = FolderOf(path);
  TemporaryNote note = TemporaryNote::Begin();
  std::string temp;
  bool written = false;
  DWORD error = ERROR_SUCCESS;
  {
    win32::UniqueHandle file(CreateTemporary(folder, note, temp));
    if (file.get() == INVALID_HANDLE_VALUE) return Failure(FileStatus::CannotOpen, GetLastError());
    DWORD put = 0;
    written = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
              put == bytes.size() && FlushFileBuffers(file.get());
    if (!written) error = GetLastError();
    if (!CloseHandle(file.release()) && written) {
      written = false;
      error = GetLastError();
    }
  }
  std::wstring wideTemp = WideFromUtf8(temp);
  if (!written) {
    DeleteFileW(wideTemp.c_str());
    return Failure(FileStatus::WriteFailed, error == ERROR_SUCCESS ? ERROR_HANDLE_DISK_FULL : error);
  }
  if (!MoveFileExW(wideTemp.c_str(), widePath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
    DeleteFileW(wideTemp.c_str());
    return Failure(FileStatus::CannotOpen, error);
  }
  return FileResult{};
}

FileResult MoveFileOver(const std::string& from, const std::string& to) {
  if (!MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return Failure(FileStatus::CannotOpen, GetLastError());
  }
  return FileResult{};
}

std::string AbsolutePath(const std::string& path) {
  std::wstring wide = WideFromUtf8(path);
  DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  if (length == 0 || length >= full.size()) return path;
  full.resize(length);
  return Utf8FromWide(full);
}

std::optional<uint64_t> FreeSpaceBeside(const std::string& path) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(WideFromUtf8(FolderOf(path)).c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return static_cast<uint64_t>(available.QuadPart);
}

}  // namespace zam

