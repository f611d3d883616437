#pragma once
// The system's temporary folder, where copies of archive entries are made.
// Implemented once for POSIX and once for Win32.

#include <string>

namespace zam {

// What the names of temporary copies start with, by what they hold.
inline constexpr const char* kTempFilePrefixes[] = {"ifp", "dff", "txd"};

// The system's temporary folder, ending in its separator; empty when unknown.
std::string SystemTempFolder();

}  // namespace zam
