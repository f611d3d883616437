#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/replace_temp_names.h"
#include "platform/temporary_notes.h"
#include "platform/write_journal.h"

namespace zam {
namespace {

constexpr char kNoteSuffix[] = ".note";

bool IsNoteName(const std::string& name) {
  size_t suffix = sizeof kNoteSuffix - 1;
  return name.size() > suffix && name.compare(name.size() - suffix, suffix, kNoteSuffix) == 0;
}

std::string ReadNote(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t n;
  while ((n = pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0 && text.size() < 65536) {
    text.append(buffer, static_cast<size_t>(n));
  }
  return text;
}

}  // namespace

// "zam/temporaries" in the state folder, made when missing and kept to the user.
std::string TemporaryNotesFolder() {
  std::string base;
  const char* state = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  if (state != nullptr && state[0] == '/') {
    base = state;
  } else if (home != nullptr && home[0] == '/') {
    base = std::string(home) + "/.local/state";
  } else {
    return std::string();
  }
  std::string folder = base + "/zam/temporaries";
  for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    mkdir(folder.substr(0, slash).c_str(), 0700);
  }
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::string();
  return folder + "/";
}

TemporaryNote TemporaryNote::Begin() {
  TemporaryNote note;
  std::string folder = TemporaryNotesFolder();
  if (folder.empty()) return note;
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string path = folder + NewReplaceTempName().substr(kReplaceTempPrefixLength) + kNoteSuffix;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return note;
    }
    // The note is new and empty: a start that takes it before this lock
    // finds nothing named in it and only removes it.
    flock(fd, LOCK_EX);
    note.path_ = path;
    note.handle_ = fd;
    return note;
  }
  return note;
}

void TemporaryNote::Name(const std::string& temporaryPath) {
  if (handle_ == kNoHandle) return;
  int fd = static_cast<int>(handle_);
  if (ftruncate(fd, 0) != 0) return;
  size_t written = 0;
  while (written < temporaryPath.size()) {
    ssize_t n = pwrite(fd, temporaryPath.data() + written, temporaryPath.size() - written, static_cast<off_t>(written));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    written += static_cast<size_t>(n);
  }
}

void TemporaryNote::End() {
  if (handle_ == kNoHandle) return;
  // Removed while still held, so no start ever sees it unheld.
  unlink(path_.c_str());
  close(static_cast<int>(handle_));
  handle_ = kNoHandle;
  path_.clear();
}

void TemporaryNote::Abandon() {
  if (handle_ == kNoHandle) return;
  close(static_cast<int>(handle_));
  handle_ = kNoHandle;
  path_.clear();
}

void RemoveAbandonedTemporaries() {
  std::string folder = TemporaryNotesFolder();
  if (folder.empty()) return;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  struct Abandoned {
    std::string note;
    int fd;
    std::string temporary;
  };
  std::vector<Abandoned> abandoned;
  while (const dirent* item = readdir(dir)) {
    if (!IsNoteName(item->d_name)) continue;
    int fd = openat(dirfd(dir), item->d_name, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      close(fd);
      continue;
    }
    abandoned.push_back({folder + item->d_name, fd, ReadNote(fd)});
  }
  closedir(dir);
  for (bool journals : {true, false}) {
    for (Abandoned& note : abandoned) {
      if (note.fd < 0) continue;
      struct stat info {};
      bool present =
          IsProgramTemporary(note.temporary) && lstat(note.temporary.c_str(), &info) == 0 && S_ISREG(info.st_mode);
      if (journals && !(present && ReplayWriteJournal(note.temporary))) continue;
      if (!journals && present) unlink(note.temporary.c_str());
      unlink(note.note.c_str());
      close(note.fd);
      note.fd = -1;
    }
  }
}

}  // namespace zam
