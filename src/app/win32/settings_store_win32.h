#pragma once
// The settings file through the system's private-profile functions.

#include <string>

#include "app/settings.h"

namespace zam {

class ProfileSettingsStore final : public SettingsStore {
 public:
  explicit ProfileSettingsStore(std::string path) : path_(std::move(path)) {}
  int ReadInt(const char* section, const char* key, int fallback) override;
  std::string ReadText(const char* section, const char* key, const char* fallback, size_t maxBytes) override;
  void WriteText(const char* section, const char* key, const std::string& value) override;

 private:
  std::string path_;
};

}  // namespace zam
