#include "platform/temporary_notes.h"

#include <cstring>
#include <utility>

#include "platform/replace_temp_names.h"
#include "platform/temp_folder.h"

namespace zam {

TemporaryNote::TemporaryNote(TemporaryNote&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, kNoHandle)) {
  other.path_.clear();
}

TemporaryNote& TemporaryNote::operator=(TemporaryNote&& other) noexcept {
  if (this != &other) {
    End();
    path_ = std::move(other.path_);
    other.path_.clear();
    handle_ = std::exchange(other.handle_, kNoHandle);
  }
  return *this;
}

bool IsProgramTemporary(const std::string& path) {
  size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return false;
  std::string name = path.substr(separator + 1);
  if (IsReplaceTempName(name.c_str())) return true;
  std::string tempFolder = SystemTempFolder();
  bool inTempFolder = !tempFolder.empty() && path.size() > tempFolder.size() &&
                      path.compare(0, tempFolder.size(), tempFolder) == 0 &&
                      path.find_first_of("\\/", tempFolder.size()) == std::string::npos;
  if (!inTempFolder) return false;
  for (const char* prefix : kTempFilePrefixes) {
    if (name.size() > std::strlen(prefix) && name.compare(0, std::strlen(prefix), prefix) == 0) return true;
  }
  return false;
}

}  // namespace zam
