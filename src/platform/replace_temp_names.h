#pragma once
// The temporary files a replacement of a file writes beside its target
// before renaming them over it: ".zam-" and six letters or digits. A save
// killed before its rename can leave one behind; its note (temporary_notes.h)
// lets the next start of the program remove it.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>

namespace zam {

inline constexpr char kReplaceTempPrefix[] = ".zam-";
inline constexpr size_t kReplaceTempPrefixLength = sizeof kReplaceTempPrefix - 1;
inline constexpr size_t kReplaceTempRandomLength = 6;

inline bool IsReplaceTempName(const char* name) {
  if (std::strncmp(name, kReplaceTempPrefix, kReplaceTempPrefixLength) != 0) return false;
  const char* rest = name + kReplaceTempPrefixLength;
  for (size_t i = 0; i < kReplaceTempRandomLength; ++i) {
    char c = rest[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return rest[kReplaceTempRandomLength] == '\0';
}

// A new name of that pattern, different at every call; the caller creates
// the file exclusively and asks again when the name is taken.
inline std::string NewReplaceTempName() {
  static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  static std::atomic<uint64_t> counter{0};
  uint64_t x = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) +
               counter.fetch_add(1) * 0x9E3779B97F4A7C15u;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;  // mixed, so that close seeds give unlike names
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
  x ^= x >> 31;
  std::string name = kReplaceTempPrefix;
  for (size_t i = 0; i < kReplaceTempRandomLength; ++i, x /= 62) name += kDigits[x % 62];
  return name;
}

}  // namespace zam
