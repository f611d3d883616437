#pragma once
// Little-endian writing appended to a byte buffer, with size fields that are
// reserved first and patched once the section they measure is complete.
// Bytes are appended, never zero-filled first and then overwritten; writers
// of many small fields gather them and append them together.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace zam {

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
  ByteWriter(const ByteWriter&) = delete;
  ByteWriter& operator=(const ByteWriter&) = delete;

  size_t Position() const { return out_.size(); }

  void WriteBytes(const void* src, size_t n) {
    auto* from = static_cast<const uint8_t*>(src);
    out_.insert(out_.end(), from, from + n);
  }

  template <typename T>
  void Write(T value) {
    static_assert(std::is_trivially_copyable<T>::value, "plain values only");
    WriteBytes(&value, sizeof(T));
  }

  void WriteZeros(size_t n) { out_.insert(out_.end(), n, uint8_t{0}); }

  // Makes room for `extra` more bytes, so that writing them never moves the
  // buffer. Meant once, for a whole output: exact reservations in small steps
  // would give up the vector's geometric growth.
  void Reserve(size_t extra) { out_.reserve(out_.size() + extra); }

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
  std::vector<uint8_t>& out_;
};

}  // namespace zam
