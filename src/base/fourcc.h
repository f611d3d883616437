#pragma once
#include <cstdint>
#include <string>

namespace zam {

// A four-character tag as the 32-bit little-endian value its bytes form in a
// file, so tags compare as one integer.
constexpr uint32_t FourCC(const char (&tag)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(tag[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(tag[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(tag[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(tag[3])) << 24;
}

inline std::string FourCCText(uint32_t tag) {
  return std::string{static_cast<char>(tag & 0xFF), static_cast<char>(tag >> 8 & 0xFF),
                     static_cast<char>(tag >> 16 & 0xFF), static_cast<char>(tag >> 24 & 0xFF)};
}

// True when all four bytes are printable ASCII, so the tag can be shown as
// text (unknown key types and texture formats may be plain numbers).
constexpr bool IsPrintableFourCC(uint32_t tag) {
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t c = tag >> shift & 0xFF;
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

}  // namespace zam
