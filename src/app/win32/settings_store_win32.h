#pragma once
// The settings file through the system's private-profile functions, in
// their wide forms: the file's path and the values are UTF-8 here. Texts
// are read up to `maxBytes` UTF-16 units.

#include <string>

#include "app/settings.h"

namespace zam {

class ProfileSettingsStore final : public SettingsStore {
 public:
  explicit ProfileSettingsStore(std::string path) : path_(std::move(path)) {}
  int ReadInt(const char* section, const char* key, int fallback) override;
  std::string ReadText(const char* section, const char* key, const char* fallback, size_t maxBytes) override;
  // An 8-bit file keeps only what the code page holds: before a value it
  // cannot hold is written, the file becomes UTF-16LE with a byte order
  // mark, which the profile functions then read and write as such.
  void WriteText(const char* section, const char* key, const std::string& value) override;

 private:
  std::string path_;
};

}  // namespace zam
