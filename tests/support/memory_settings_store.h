#pragma once
// An INI file in memory, with the private-profile rules for integers.

#include <cstdlib>
#include <map>
#include <string>

#include "app/settings.h"

namespace zam::test {

class MemoryStore final : public SettingsStore {
 public:
  std::map<std::string, std::string> values;  // "Section/Key" -> text

  int ReadInt(const char* section, const char* key, int fallback) override {
    auto found = values.find(std::string(section) + "/" + key);
    if (found == values.end()) return fallback;
    return std::atoi(found->second.c_str());
  }
  std::string ReadText(const char* section, const char* key, const char* fallback, size_t maxBytes) override {
    auto found = values.find(std::string(section) + "/" + key);
    std::string text = found == values.end() ? fallback : found->second;
    return text.substr(0, maxBytes);
  }
  void WriteText(const char* section, const char* key, const std::string& value) override {
    values[std::string(section) + "/" + key] = value;
  }
};

}  // namespace zam::test
