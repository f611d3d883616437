#pragma once
// Writes RenderWare binary streams: nested sections whose sizes are patched
// when each section is closed, and the little-endian fields of their bodies.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/rw_chunk.h"

namespace zam::gen {

// The stamp a library of `version` (0x3MRPP: 3.4.0.3 is 0x34003) writes
// with build 0xFFFF; RwLibraryVersion reads the version back.
constexpr uint32_t RwLibraryStampOf(uint32_t version) {
  return ((version - 0x30000) & 0x3FF00) << 14 | (version & 0x3F) << 16 | 0xFFFF;
}
static_assert(RwLibraryStampOf(0x36003) == kRwLibraryStamp, "the game's own stamp");

class RwWriter {
 public:
  // `stamp` is the version written into every header (tests use others).
  explicit RwWriter(uint32_t stamp = kRwLibraryStamp) : stamp_(stamp) {}

  // Starts a section of `type`; its size is filled in by the matching Close.
  RwWriter& Open(uint32_t type);
  RwWriter& Close();
  // A whole section with the given body.
  RwWriter& Section(uint32_t type, const std::vector<uint8_t>& body);

  RwWriter& U8(uint8_t v) { return Value(v); }
  RwWriter& U16(uint16_t v) { return Value(v); }
  RwWriter& U32(uint32_t v) { return Value(v); }
  RwWriter& I32(int32_t v) { return Value(v); }
  RwWriter& F32(float v) { return Value(v); }
  RwWriter& Bytes(const void* data, size_t n);
  RwWriter& Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); return *this; }
  // `text` cut or zero-padded to exactly `width` bytes.
  RwWriter& Text(const std::string& text, size_t width);
  // A String section: the text, its terminating zero, padded to 4 bytes.
  RwWriter& String(const std::string& text);

  size_t Position() const { return bytes_.size(); }
  // The stream; every opened section must have been closed.
  std::vector<uint8_t> Take();

 private:
  template <typename T>
  RwWriter& Value(T v) {
    return Bytes(&v, sizeof v);
  }
  uint32_t stamp_;
  std::vector<uint8_t> bytes_;
  std::vector<size_t> open_;  // header positions of the sections not yet closed
};

}  // namespace zam::gen
