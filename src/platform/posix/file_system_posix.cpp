#include <fcntl.h>
#include <limits.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

#include "base/messages.h"
#include "platform/file_system.h"
#include "platform/replace_temp_names.h"
#include "platform/temporary_notes.h"
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

// The file a path leads to through symbolic links, so that saving through a
// link replaces the file it points to rather than the link; empty for a
// loop of links.
std::string FollowLinks(std::string path) {
  for (int hop = 0; hop < 40; ++hop) {
    char target[PATH_MAX];
    ssize_t n = readlink(path.c_str(), target, sizeof target);
    if (n < 0) return path;  // not a link
    if (n == 0 || static_cast<size_t>(n) == sizeof target) return std::string();
    std::string link(target, static_cast<size_t>(n));
    path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
  }
  return std::string();
}

// Calls `claim` with new temporary names in `folder` until one is free:
// true when `claim` succeeded, false (errno saying why) when it failed for
// another reason. Each name is noted before it is claimed.
bool ClaimTempName(const std::string& folder, TemporaryNote& note, std::string& name,
                   const std::function<bool(const std::string&)>& claim) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    name = (folder == "/" ? folder : folder + "/") + NewReplaceTempName();
    note.Name(name);
    if (claim(name)) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

FileResult Failure(FileStatus status, int error) { return FileResult{status, std::strerror(error)}; }

bool WriteContents(int fd, mode_t mode, const std::vector<uint8_t>& bytes) {
  return fchmod(fd, mode) == 0 && WriteAll(fd, bytes.data(), bytes.size()) && fsync(fd) == 0;
}

// Writes the bytes into a new file in `folder`, complete and on the disk,
// named `temp`. Where Linux allows, the file has no name until it is
// complete, so a save killed meanwhile leaves nothing behind.
FileResult WriteTemporary(const std::string& folder, mode_t mode, const std::vector<uint8_t>& bytes,
                          TemporaryNote& note, std::string& temp) {
#if defined(O_TMPFILE)
  FileDescriptor unnamed(open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (unnamed.get() >= 0) {
    if (!WriteContents(unnamed.get(), mode, bytes)) return Failure(FileStatus::WriteFailed, errno);
    std::string self = "/proc/self/fd/" + std::to_string(unnamed.get());
    auto link = [&](const std::string& name) {
      return linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    if (ClaimTempName(folder, note, temp, link)) {
      if (unnamed.CloseChecked()) return FileResult{};
      int error = errno;
      unlink(temp.c_str());
      return Failure(FileStatus::WriteFailed, error);
    }
    // Without /proc the file cannot be named: write a named one instead.
  }
#endif
  int fd = -1;
  auto create = [&](const std::string& name) {
    fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    return fd >= 0;
  };
  if (!ClaimTempName(folder, note, temp, create)) return Failure(FileStatus::CannotOpen, errno);
  FileDescriptor file(fd);
  bool written = WriteContents(file.get(), mode, bytes);
  int error = errno;
  if (!file.CloseChecked() || !written) {
    if (written) error = errno;
    unlink(temp.c_str());
    return Failure(FileStatus::WriteFailed, error);
  }
  return FileResult{};
}

// A file the user may not write to is read-only to the program too, also
// when the folder would let it be replaced (and for root, who may write
// anything, when it has no write permission at all).
bool IsReadOnly(const std::string& path, const struct stat& info) {
  return (info.st_mode & 0222) == 0 || (access(path.c_str(), W_OK) != 0 && errno == EACCES);
}

// Refuses an existing target that no file may replace: a folder, or a file
// that is read-only. Ok otherwise.
FileResult RefusedTarget(const std::string& path, const struct stat& target) {
  if (S_ISDIR(target.st_mode)) return Failure(FileStatus::CannotOpen, EISDIR);
  if (IsReadOnly(path, target)) return FileResult{FileStatus::ReadOnly, msg::kFileReadOnly};
  return FileResult{};
}

// After a rename the folder's entry must reach the disk too, or a power cut
// can bring back the old file. Not every file system flushes folders; the
// rename has happened either way.
void FlushFolder(const std::string& folder) {
  FileDescriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) fsync(dir.get());
}

// Asks for huge pages under the whole 2 MB pages of a large buffer before it
// is first touched: the first read of a large file in a process then takes
// a few page faults instead of hundreds, which cost more than the reading.
void AdviseHugePages(void* data, size_t size) {
#if defined(MADV_HUGEPAGE)
  constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
  uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kHugePage - 1) & ~(kHugePage - 1);
  uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kHugePage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace

FileResult ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  FileDescriptor file(open(PosixPath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return Failure(FileStatus::CannotOpen, errno);
  struct stat info {};
  if (fstat(file.get(), &info) != 0) return Failure(FileStatus::CannotOpen, errno);
  if (S_ISDIR(info.st_mode)) return Failure(FileStatus::CannotOpen, EISDIR);
  if (!S_ISREG(info.st_mode)) return Failure(FileStatus::CannotOpen, EINVAL);
  if (static_cast<uint64_t>(info.st_size) > kMaxWholeFileBytes) return Failure(FileStatus::CannotOpen, EFBIG);
  // The size the file has now, in one read; a file that changes meanwhile
  // is read to wherever it ends.
  out.clear();
  out.reserve(static_cast<size_t>(info.st_size));
  AdviseHugePages(out.data(), out.capacity());
  out.resize(static_cast<size_t>(info.st_size));
  size_t got = 0;
  while (got < out.size()) {
    ssize_t n = read(file.get(), out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failure(FileStatus::CannotOpen, errno);
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  out.resize(got);
  uint8_t more[4096];
  for (;;) {
    ssize_t n = read(file.get(), more, sizeof more);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Failure(FileStatus::CannotOpen, errno);
    if (n == 0) break;
    if (out.size() + static_cast<size_t>(n) > kMaxWholeFileBytes) return Failure(FileStatus::CannotOpen, EFBIG);
    out.insert(out.end(), more, more + n);
  }
  return FileResult{};
}

FileResult CheckReplaceable(const std::string& requested) {
  std::string path = FollowLinks(PosixPath(requested));
  if (path.empty()) return Failure(FileStatus::CannotOpen, ELOOP);
  struct stat target {};
  if (stat(path.c_str(), &target) != 0) return Failure(FileStatus::CannotOpen, errno);
  if (FileResult refused = RefusedTarget(path, target); !refused.ok()) return refused;
  FileDescriptor file(open(path.c_str(), O_RDWR | O_CLOEXEC));
  return file.get() >= 0 ? FileResult{} : Failure(FileStatus::CannotOpen, errno);
}

FileResult ReplaceFileAtomically(const std::string& requested, const std::vector<uint8_t>& bytes) {
  std::string path = FollowLinks(PosixPath(requested));
  if (path.empty()) return Failure(FileStatus::CannotOpen, ELOOP);
  mode_t mode = 0644;
  struct stat target {};
  if (stat(path.c_str(), &target) == 0) {
    if (FileResult refused = RefusedTarget(path, target); !refused.ok()) return refused;
    mode = target.st_mode & 07777;
  } else if (errno != ENOENT) {
    return Failure(FileStatus::CannotOpen, errno);
  }
  std::string folder = FolderOf(path);
  TemporaryNote note = TemporaryNote::Begin();
  std::string temp;
  FileResult written = WriteTemporary(folder, mode, bytes, note, temp);
  if (!written.ok()) return written;
  if (rename(temp.c_str(), path.c_str()) != 0) {
    int error = errno;
    unlink(temp.c_str());
    return Failure(FileStatus::CannotOpen, error);
  }
  FlushFolder(folder);
  return FileResult{};
}

FileResult MoveFileOver(const std::string& from, const std::string& to) {
  std::string target = PosixPath(to);
  if (rename(PosixPath(from).c_str(), target.c_str()) != 0) return Failure(FileStatus::CannotOpen, errno);
  FlushFolder(FolderOf(target));
  return FileResult{};
}

std::string AbsolutePath(const std::string& path) {
  std::string posix = PosixPath(path);
  if (!posix.empty() && posix[0] == '/') return posix;
  char folder[PATH_MAX];
  if (getcwd(folder, sizeof folder) == nullptr) return posix;
  return std::string(folder) + "/" + posix;
}

std::optional<uint64_t> FreeSpaceBeside(const std::string& path) {
  struct statvfs volume {};
  if (statvfs(FolderOf(PosixPath(path)).c_str(), &volume) != 0) return std::nullopt;
  return static_cast<uint64_t>(volume.f_bavail) * volume.f_frsize;
}

}  // namespace zam
