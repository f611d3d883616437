#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/file.h"
#include "platform/posix/posix_path.h"
#include "platform/temp_file.h"

namespace zam {
namespace {

// Directories open on POSIX but not on Windows; keep both alike.
intptr_t OpenRegularFile(const std::string& path, int flags) {
  int fd = open(PosixPath(path).c_str(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

File File::OpenRead(const std::string& path) { return File(OpenRegularFile(path, O_RDONLY)); }

File File::OpenReadWrite(const std::string& path) { return File(OpenRegularFile(path, O_RDWR)); }

File File::Create(const std::string& path) { return File(OpenRegularFile(path, O_RDWR | O_CREAT | O_TRUNC)); }

File File::CreateNew(const std::string& path) { return File(OpenRegularFile(path, O_RDWR | O_CREAT | O_EXCL)); }

size_t File::Read(void* data, size_t size) {
  if (!IsOpen()) return 0;
  auto* at = static_cast<uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    ssize_t n = read(static_cast<int>(handle_), at + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool File::Write(const void* data, size_t size) {
  if (!IsOpen()) return false;
  auto* at = static_cast<const uint8_t*>(data);
  while (size > 0) {
    ssize_t n = write(static_cast<int>(handle_), at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool File::Seek(uint64_t position) {
  if (!IsOpen() || position > static_cast<uint64_t>(INT64_MAX)) return false;
  return lseek(static_cast<int>(handle_), static_cast<off_t>(position), SEEK_SET) >= 0;
}

bool File::SeekBy(int64_t delta) {
  return IsOpen() && lseek(static_cast<int>(handle_), static_cast<off_t>(delta), SEEK_CUR) >= 0;
}

std::optional<uint64_t> File::Size() const {
  struct stat info {};
  if (!IsOpen() || fstat(static_cast<int>(handle_), &info) != 0) return std::nullopt;
  return static_cast<uint64_t>(info.st_size);
}

bool File::SetSize(uint64_t size) {
  if (!IsOpen() || size > static_cast<uint64_t>(INT64_MAX)) return false;
  int result;
  do {
    result = ftruncate(static_cast<int>(handle_), static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

uint64_t File::CopyFrom(File& source, uint64_t position, uint64_t length) {
  if (!IsOpen() || !source.IsOpen() || position > static_cast<uint64_t>(INT64_MAX)) return 0;
  int in = static_cast<int>(source.handle_), out = static_cast<int>(handle_);
  off_t from = static_cast<off_t>(position);
  uint64_t done = 0;
#if defined(__linux__)
  while (done < length) {
    ssize_t n =
        copy_file_range(in, &from, out, nullptr, static_cast<size_t>(std::min<uint64_t>(length - done, 1u << 30)), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) return done;  // the source ends
    if (n < 0) break;         // not between these files: copied through memory below
    done += static_cast<uint64_t>(n);
  }
#endif
  std::vector<uint8_t> block(static_cast<size_t>(std::min<uint64_t>(length - done, 1u << 20)));
  while (done < length) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(length - done, block.size()));
    ssize_t n = pread(in, block.data(), want, from);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || !Write(block.data(), static_cast<size_t>(n))) break;
    from += n;
    done += static_cast<uint64_t>(n);
  }
  return done;
}

bool File::Flush() { return IsOpen() && fsync(static_cast<int>(handle_)) == 0; }

void File::Close() {
  if (IsOpen()) close(static_cast<int>(handle_));
  handle_ = kNoHandle;
}

bool RemoveFile(const std::string& path) { return unlink(PosixPath(path).c_str()) == 0; }

std::string SystemTempFolder() {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  return path;
}

std::string CreateTempFilePath(const char* prefix) {
  std::string path = SystemTempFolder() + prefix;
  path += "XXXXXX";
  int fd = mkstemp(path.data());
  if (fd < 0) return std::string();
  close(fd);
  return path;
}

}  // namespace zam
