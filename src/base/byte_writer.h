#pragma once
// Little-endian writing into a byte buffer, with size fields that are
// reserved first and patched once the section they measure is complete.
// The buffer grows in large steps and is cut to the bytes written when the
// writer goes away, so each field costs a bounds check and a copy.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace zam {

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<uint8_t>& out) : out_(out), end_(out.size()) {}
  ~ByteWriter() { out_.resize(end_); }
  ByteWriter(const ByteWriter&) = delete;
  ByteWriter& operator=(const ByteWriter&) = delete;

  size_t Position() const { return end_; }

  void WriteBytes(const void* src, size_t n) {
    if (n) std::memcpy(Grow(n), src, n);
  }

  template <typename T>
  void Write(T value) {
    static_assert(std::is_trivially_copyable<T>::value, "plain values only");
    std::memcpy(Grow(sizeof(T)), &value, sizeof(T));
  }

  void WriteZeros(size_t n) {
    if (n) std::memset(Grow(n), 0, n);
  }

  // Makes room for at least `extra` more bytes in one step.
  void Reserve(size_t extra) {
    if (end_ + extra > out_.size()) out_.resize(end_ + extra);
  }

  // Appends `n` bytes for the caller to fill through the returned pointer,
  // which stays valid until the next write.
  uint8_t* Extend(size_t n) { return Grow(n); }

  // Reserves a 32-bit size field and returns its position for PatchSize.
  size_t ReserveSize() {
    size_t at = Position();
    Write<uint32_t>(0);
    return at;
  }

  // Sets the field at `at` to the number of bytes written after it.
  void PatchSize(size_t at) { PatchU32(at, static_cast<uint32_t>(Position() - at - 4)); }

  void PatchU32(size_t at, uint32_t value) { std::memcpy(out_.data() + at, &value, 4); }

 private:
  uint8_t* Grow(size_t n) {
    if (end_ + n > out_.size()) out_.resize(end_ + n > 2 * out_.size() ? end_ + n : 2 * out_.size());
    uint8_t* at = out_.data() + end_;
    end_ += n;
    return at;
  }

  std::vector<uint8_t>& out_;
  size_t end_;
};

}  // namespace zam
