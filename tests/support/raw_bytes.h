#pragma once
// Hand-assembles binary files field by field, for inputs that the project's
// own writers would never produce (irregular, damaged or hostile files).

#include <cstdint>
#include <string>
#include <vector>

#include "base/byte_writer.h"

namespace zam::test {

class RawBytes {
 public:
  RawBytes& Tag(const char (&tag)[5]) { return Raw(tag, 4); }
  RawBytes& U32(uint32_t v) { return Value(v); }
  RawBytes& I32(int32_t v) { return Value(v); }
  RawBytes& I16(int16_t v) { return Value(v); }
  RawBytes& U16(uint16_t v) { return Value(v); }
  RawBytes& U8(uint8_t v) { return Value(v); }
  RawBytes& F32(float v) { return Value(v); }
  // `text` followed by zeros up to `width` bytes (cut if longer).
  RawBytes& Text(const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) U8(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    return *this;
  }
  RawBytes& Fill(size_t n, uint8_t value) {
    bytes_.insert(bytes_.end(), n, value);
    return *this;
  }
  RawBytes& Raw(const void* data, size_t n) {
    const uint8_t* from = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), from, from + n);
    return *this;
  }
  // Reserves a 32-bit size field; PatchSize fills in the bytes written since.
  size_t ReserveSize() { return ByteWriter(bytes_).ReserveSize(); }
  RawBytes& PatchSize(size_t at) {
    ByteWriter(bytes_).PatchSize(at);
    return *this;
  }

  size_t size() const { return bytes_.size(); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  template <typename T>
  RawBytes& Value(T v) {
    return Raw(&v, sizeof v);
  }
  std::vector<uint8_t> bytes_;
};

}  // namespace zam::test
