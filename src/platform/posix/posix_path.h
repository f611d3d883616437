#pragma once
// The program's Windows paths on POSIX: drive Z: is the root of the file
// system and "\" separates components, as Wine presents it. POSIX paths pass
// unchanged (a file name holding a "\" cannot be reached).

#include <string>

namespace zam {

inline std::string PosixPath(const std::string& path) {
  std::string result = path;
  bool driveZ = path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':' &&
                (path.size() == 2 || path[2] == '\\' || path[2] == '/');
  if (driveZ) result = path.size() == 2 ? "/" : path.substr(2);
  for (char& c : result) {
    if (c == '\\') c = '/';
  }
  return result;
}

}  // namespace zam
