#pragma once
// Bounds-checked little-endian reading from a byte span. Every parser goes
// through this: a read past the end copies only what exists, leaves the rest
// of the destination untouched and marks the reader as overrun, so hostile or
// truncated input can never make a parser read outside its buffer.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace zam {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Position() const { return pos_; }
  size_t Size() const { return size_; }
  size_t Remaining() const { return size_ - pos_; }
  bool AtEnd() const { return pos_ >= size_; }
  // True once any read or skip asked for bytes beyond the end.
  bool Overrun() const { return overrun_; }

  // Copies up to n bytes; returns how many were available.
  size_t ReadBytes(void* dst, size_t n) {
    size_t got = n <= Remaining() ? n : Remaining();
    if (got) std::memcpy(dst, data_ + pos_, got);
    pos_ += got;
    if (got < n) overrun_ = true;
    return got;
  }

  // The next n bytes, for a caller that checked a whole array at once, or
  // nullptr (without moving) when fewer remain.
  const uint8_t* Take(size_t n) {
    if (n > Remaining()) return nullptr;
    const uint8_t* at = data_ + pos_;
    pos_ += n;
    return at;
  }

  // Reads a trivially copyable value; bytes beyond the end leave `fallback`'s
  // corresponding bytes in place (zero by default).
  template <typename T>
  T Read(T fallback = T{}) {
    static_assert(std::is_trivially_copyable<T>::value, "plain values only");
    if (sizeof(T) <= Remaining()) {  // the common case, with a fixed-size copy
      std::memcpy(&fallback, data_ + pos_, sizeof(T));
      pos_ += sizeof(T);
    } else {
      ReadBytes(&fallback, sizeof(T));
    }
    return fallback;
  }

  void Skip(size_t n) {
    if (n > Remaining()) {
      pos_ = size_;
      overrun_ = true;
    } else {
      pos_ += n;
    }
  }

  // Moves to an absolute offset; an offset past the end stops at the end.
  void SeekTo(size_t offset) {
    if (offset > size_) {
      pos_ = size_;
      overrun_ = true;
    } else {
      pos_ = offset;
    }
  }

  // Moves by a signed amount; moves before the start stop at the start.
  void Move(int64_t delta) {
    if (delta < 0) {
      uint64_t back = static_cast<uint64_t>(-(delta + 1)) + 1;
      if (back > pos_) {
        pos_ = 0;
        overrun_ = true;
      } else {
        pos_ -= static_cast<size_t>(back);
      }
    } else {
      Skip(static_cast<uint64_t>(delta) > SIZE_MAX ? SIZE_MAX : static_cast<size_t>(delta));
    }
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool overrun_ = false;
};

}  // namespace zam
