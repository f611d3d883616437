#pragma once
// An open file with 64-bit positions, closed when it goes away. Implemented
// once for POSIX and once for Win32; paths are UTF-8, as everywhere in the
// program (on POSIX also its Windows paths of drive Z:, see folders.h). POSIX
// has no sharing modes, so there the modes differ only in access.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zam {

class File {
 public:
  File() = default;
  ~File() { Close(); }
  File(File&& other) noexcept : handle_(other.handle_) { other.handle_ = kNoHandle; }
  File& operator=(File&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = other.handle_;
      other.handle_ = kNoHandle;
    }
    return *this;
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Reading only; others may read the file at the same time.
  static File OpenRead(const std::string& path);
  // Reading and writing; nobody else may open the file meanwhile.
  static File OpenReadWrite(const std::string& path);
  // Creates the file, or empties an existing one, for reading and writing;
  // others may read it meanwhile.
  static File Create(const std::string& path);
  // Creates a new file for reading and writing; fails when one of that name
  // exists. Others may read it meanwhile.
  static File CreateNew(const std::string& path);

  bool IsOpen() const { return handle_ != kNoHandle; }

  // Reads up to `size` bytes at the current position; returns how many were
  // read, fewer only at the end of the file or on an error.
  size_t Read(void* data, size_t size);
  // Writes all `size` bytes at the current position, or reports failure.
  bool Write(const void* data, size_t size);
  bool Seek(uint64_t position);
  bool SeekBy(int64_t delta);
  std::optional<uint64_t> Size() const;
  // Cuts the file to `size` bytes, or extends it with zeros; the position
  // stays where it was.
  bool SetSize(uint64_t size);
  // Copies up to `length` bytes of `source`, from its byte `position`, to
  // this file's position, which moves past them; `source`'s position may
  // move too. Returns how many were copied: fewer where the source ends or
  // a write fails. Linux copies inside the kernel.
  uint64_t CopyFrom(File& source, uint64_t position, uint64_t length);
  // Pushes written data to the disk, so that later writes cannot reach it first.
  bool Flush();
  void Close();

 private:
  // A POSIX descriptor or a Win32 HANDLE; both use -1 for "none".
  static constexpr intptr_t kNoHandle = -1;
  explicit File(intptr_t handle) : handle_(handle) {}
  intptr_t handle_ = kNoHandle;
};

// Deletes a file; false when it could not be deleted (or did not exist).
bool RemoveFile(const std::string& path);

}  // namespace zam
