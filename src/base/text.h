#pragma once
// Small helpers over the 8-bit texts of files: fixed-size name fields and
// ASCII case folding (names in packages, archives and models compare without
// regard to ASCII case; other bytes compare as they are).

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace zam {

// The length of a name stored in a field of `size` bytes: up to its first
// zero byte, or the whole field when it has none.
inline size_t NameLength(const char* field, size_t size) {
  const void* zero = std::memchr(field, 0, size);
  return zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : size;
}

// The text of a fixed name field, up to its first zero byte (or the whole field).
template <size_t N>
std::string NameText(const char (&field)[N]) {
  return std::string(field, NameLength(field, N));
}

// 8-bit text (names from files) as UTF-8, each byte taken as the character
// of its number (Latin-1), so that every name has a text, and a distinct one.
inline std::string Latin1ToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const char byte : bytes) {
    const unsigned char c = static_cast<unsigned char>(byte);
    if (c < 0x80) {
      text += byte;
    } else {
      text += static_cast<char>(0xC0 | c >> 6);
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

inline bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && EqualIgnoringAsciiCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace zam
