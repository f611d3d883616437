#include <windows.h>

#include "platform/file_system.h"

namespace zam {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool CloseChecked() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash + 1);
}

}  // namespace

FileStatus ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return FileStatus::CannotOpen;
  out.clear();
  uint8_t buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) return FileStatus::CannotOpen;
    if (got == 0) break;
    out.insert(out.end(), buffer, buffer + got);
  }
  return FileStatus::Ok;
}

FileStatus ReplaceFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  char temp[MAX_PATH];
  if (GetTempFileNameA(FolderOf(path).c_str(), "ifp", 0, temp) == 0) return FileStatus::CannotOpen;
  bool written = false;
  {
    Handle file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() != INVALID_HANDLE_VALUE) {
      DWORD put = 0;
      written = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
                put == bytes.size() && FlushFileBuffers(file.get());
      written = file.CloseChecked() && written;
    }
  }
  if (!written) {
    DeleteFileA(temp);
    return FileStatus::WriteFailed;
  }
  if (!MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temp);
    return FileStatus::CannotOpen;
  }
  return FileStatus::Ok;
}

}  // namespace zam
