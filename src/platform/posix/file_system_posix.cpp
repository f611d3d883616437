#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/file_system.h"
#include "platform/posix/posix_path.h"

namespace zam {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  bool CloseChecked() {
    int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

FileStatus ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  FileDescriptor file(open(PosixPath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return FileStatus::CannotOpen;
  struct stat info {};
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) return FileStatus::CannotOpen;
  out.clear();
  uint8_t buffer[65536];
  for (;;) {
    ssize_t n = read(file.get(), buffer, sizeof buffer);
    if (n < 0) return FileStatus::CannotOpen;
    if (n == 0) break;
    out.insert(out.end(), buffer, buffer + n);
  }
  return FileStatus::Ok;
}

FileStatus ReplaceFileAtomically(const std::string& programPath, const std::vector<uint8_t>& bytes) {
  std::string path = PosixPath(programPath);
  std::string temp = FolderOf(path) + "/.zam-XXXXXX";
  FileDescriptor file(mkstemp(temp.data()));
  if (file.get() < 0) return FileStatus::CannotOpen;
  struct stat target {};
  mode_t mode = stat(path.c_str(), &target) == 0 ? target.st_mode & 07777 : 0644;
  bool written = fchmod(file.get(), mode) == 0 && WriteAll(file.get(), bytes.data(), bytes.size()) &&
                 fsync(file.get()) == 0;
  if (!file.CloseChecked() || !written) {
    unlink(temp.c_str());
    return FileStatus::WriteFailed;
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return FileStatus::CannotOpen;
  }
  return FileStatus::Ok;
}

}  // namespace zam
