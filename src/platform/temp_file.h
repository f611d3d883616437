#pragma once
// A new file in the system's temporary folder, open for reading and writing
// (others may read it), deleted when the object goes away. Entries copied out
// of archives live in these; moving the object hands the file to a new owner.

#include <string>
#include <utility>

#include "platform/file.h"
#include "platform/temp_folder.h"
#include "platform/temporary_notes.h"

namespace zam {

// Makes a new empty file in the system's temporary folder, named by the
// system with the three-letter prefix; returns its path, empty on failure.
std::string CreateTempFilePath(const char* prefix);

class TempFile {
 public:
  // `prefix` is three letters: "ifp", "dff" or "txd". Check IsOpen().
  static TempFile Create(const char* prefix) {
    TempFile temp;
    temp.note_ = TemporaryNote::Begin();
    temp.path_ = CreateTempFilePath(prefix);
    if (temp.path_.empty()) return temp;
    temp.note_.Name(temp.path_);
    temp.file_ = File::Create(temp.path_);
    return temp;
  }

  TempFile() = default;
  ~TempFile() { Remove(); }
  TempFile(TempFile&& other) noexcept
      : path_(std::move(other.path_)), file_(std::move(other.file_)), note_(std::move(other.note_)) {
    other.path_.clear();
  }
  TempFile& operator=(TempFile&& other) noexcept {
    if (this != &other) {
      Remove();
      path_ = std::move(other.path_);
      file_ = std::move(other.file_);
      note_ = std::move(other.note_);
      other.path_.clear();
    }
    return *this;
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool IsOpen() const { return file_.IsOpen(); }
  File& file() { return file_; }
  const std::string& path() const { return path_; }

  // Closes and deletes the file now (Windows cannot delete an open file).
  void Remove() {
    file_.Close();
    if (!path_.empty()) RemoveFile(path_);
    path_.clear();
    note_.End();
  }

  // Closes the file and gives up deleting it; the caller now owns the path.
  // The note of it stays until this object goes away, so that a copy handed
  // to a call that deletes it is found again if the program is killed meanwhile.
  std::string Release() {
    file_.Close();
    return std::exchange(path_, std::string());
  }

 private:
  std::string path_;
  File file_;
  TemporaryNote note_;
};

}  // namespace zam
