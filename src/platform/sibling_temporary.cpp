#include "platform/sibling_temporary.h"

#include "platform/file_system.h"
#include "platform/replace_temp_names.h"

namespace zam {

std::string FolderPart(const std::string& path) {
  size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

File CreateSiblingTemporary(const std::string& path, TemporaryNote& note, std::string& temporaryPath) {
  // Noted from the root: a later start may run in another working folder.
  std::string folder = FolderPart(AbsolutePath(path));
  for (int attempt = 0; attempt < 64; ++attempt) {
    temporaryPath = folder + NewReplaceTempName();
    note.Name(temporaryPath);
    File file = File::CreateNew(temporaryPath);
    if (file.IsOpen()) return file;
  }
  temporaryPath.clear();
  return File();
}

}  // namespace zam
