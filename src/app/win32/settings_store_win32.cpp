#include "app/win32/settings_store_win32.h"

#include <windows.h>

#include <vector>

namespace zam {

int ProfileSettingsStore::ReadInt(const char* section, const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, path_.c_str()));
}

std::string ProfileSettingsStore::ReadText(const char* section, const char* key, const char* fallback,
                                           size_t maxBytes) {
  std::vector<char> text(maxBytes + 1, '\0');
  GetPrivateProfileStringA(section, key, fallback, text.data(), static_cast<DWORD>(text.size()), path_.c_str());
  return text.data();
}

void ProfileSettingsStore::WriteText(const char* section, const char* key, const std::string& value) {
  WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str());
}

}  // namespace zam
