#include <windows.h>

#include <vector>

#include "platform/file.h"
#include "platform/temp_file.h"
#include "platform/win32/wide_text.h"

namespace zam {
namespace {

HANDLE AsHandle(intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

intptr_t OpenHandle(const std::string& path, DWORD access, DWORD sharing, DWORD disposition) {
  HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return reinterpret_cast<intptr_t>(h);  // INVALID_HANDLE_VALUE is -1, the class's "none"
}

// ReadFile and WriteFile take 32-bit sizes.
constexpr size_t kMaxTransfer = 1u << 30;

}  // namespace

File File::OpenRead(const std::string& path) {
  return File(OpenHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
}

File File::OpenReadWrite(const std::string& path) {
  return File(OpenHandle(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING));
}

File File::Create(const std::string& path) {
  return File(OpenHandle(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
}

File File::CreateNew(const std::string& path) {
  return File(OpenHandle(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW));
}

size_t File::Read(void* data, size_t size) {
  if (!IsOpen()) return 0;
  auto* at = static_cast<uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    DWORD want = static_cast<DWORD>(size - done < kMaxTransfer ? size - done : kMaxTransfer);
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle_), at + done, want, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}

bool File::Write(const void* data, size_t size) {
  if (!IsOpen()) return false;
  auto* at = static_cast<const uint8_t*>(data);
  while (size > 0) {
    DWORD want = static_cast<DWORD>(size < kMaxTransfer ? size : kMaxTransfer);
    DWORD put = 0;
    if (!WriteFile(AsHandle(handle_), at, want, &put, nullptr) || put == 0) return false;
    at += put;
    size -= put;
  }
  return true;
}

bool File::Seek(uint64_t position) {
  if (!IsOpen() || position > static_cast<uint64_t>(INT64_MAX)) return false;
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  return SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN) != 0;
}

bool File::SeekBy(int64_t delta) {
  if (!IsOpen()) return false;
  LARGE_INTEGER by;
  by.QuadPart = delta;
  return SetFilePointerEx(AsHandle(handle_), by, nullptr, FILE_CURRENT) != 0;
}

std::optional<uint64_t> File::Size() const {
  LARGE_INTEGER size;
  if (!IsOpen() || !GetFileSizeEx(AsHandle(handle_), &size)) return std::nullopt;
  return static_cast<uint64_t>(size.QuadPart);
}

bool File::SetSize(uint64_t size) {
  if (!IsOpen() || size > static_cast<uint64_t>(INT64_MAX)) return false;
  LARGE_INTEGER zero{}, was{}, to{};
  to.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(AsHandle(handle_), zero, &was, FILE_CURRENT)) return false;
  bool done = SetFilePointerEx(AsHandle(handle_), to, nullptr, FILE_BEGIN) && SetEndOfFile(AsHandle(handle_));
  return SetFilePointerEx(AsHandle(handle_), was, nullptr, FILE_BEGIN) && done;
}

uint64_t File::CopyFrom(File& source, uint64_t position, uint64_t length) {
  if (!IsOpen() || !source.Seek(position)) return 0;
  std::vector<uint8_t> block(static_cast<size_t>(length < (1u << 20) ? length : (1u << 20)));
  uint64_t done = 0;
  while (done < length) {
    size_t want = static_cast<size_t>(length - done < block.size() ? length - done : block.size());
    size_t got = source.Read(block.data(), want);
    if (got == 0 || !Write(block.data(), got)) break;
    done += got;
  }
  return done;
}

bool File::Flush() { return IsOpen() && FlushFileBuffers(AsHandle(handle_)) != 0; }

void File::Close() {
  if (IsOpen()) CloseHandle(AsHandle(handle_));
  handle_ = kNoHandle;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(WideFromUtf8(path).c_str()) != 0; }

std::string SystemTempFolder() {
  wchar_t folder[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return std::string();
  return Utf8FromWide(std::wstring(folder, length));
}

std::string CreateTempFilePath(const char* prefix) {
  std::string folder = SystemTempFolder();
  if (folder.empty()) return std::string();
  wchar_t path[MAX_PATH];
  if (GetTempFileNameW(WideFromUtf8(folder).c_str(), WideFromUtf8(prefix).c_str(), 0, path) == 0) return std::string();
  return Utf8FromWide(path);
}

}  // namespace zam
