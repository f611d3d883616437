#include "app/win32/settings_store_win32.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/win32/wide_text.h"

namespace zam {
namespace {

constexpr uint8_t kUtf16Mark[] = {0xFF, 0xFE};
constexpr uint8_t kUtf16BigEndianMark[] = {0xFE, 0xFF};
constexpr uint8_t kUtf8Mark[] = {0xEF, 0xBB, 0xBF};

bool StartsWith(const std::vector<uint8_t>& bytes, const uint8_t* mark, size_t size) {
  return bytes.size() >= size && std::memcmp(bytes.data(), mark, size) == 0;
}

bool FitsCodePage(const std::wstring& text) {
  // A UTF-8 code page holds everything, and refuses the question.
  if (text.empty() || GetACP() == CP_UTF8) return true;
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                      nullptr, &lost);
  return !lost;
}

// Rewrites the file as UTF-16LE with a byte order mark, every line kept; a
// missing file becomes just the mark. A file in UTF-16 already, or one
// that cannot be read, is left alone.
void MakeUnicode(const std::string& path) {
  std::vector<uint8_t> old;
  if (ReadWholeFile(path, old) != FileStatus::Ok) {
    if (KindOfPath(path) != PathKind::Missing) return;
    old.clear();
  }
  if (StartsWith(old, kUtf16Mark, sizeof kUtf16Mark) || StartsWith(old, kUtf16BigEndianMark, sizeof kUtf16BigEndianMark)) {
    return;
  }
  std::wstring text;
  if (StartsWith(old, kUtf8Mark, sizeof kUtf8Mark)) {  // Wine reads these as UTF-8
    text = WideFromUtf8(std::string(old.begin() + sizeof kUtf8Mark, old.end()));
  } else {
    text = WideFromCodePage(std::string(old.begin(), old.end()));
  }
  std::vector<uint8_t> bytes(kUtf16Mark, kUtf16Mark + sizeof kUtf16Mark);
  for (wchar_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  ReplaceFileAtomically(path, bytes);
}

}  // namespace

int ProfileSettingsStore::ReadInt(const char* section, const char* key, int fallback) {
  return static_cast<int>(GetPrivateProfileIntW(WideFromUtf8(section).c_str(), WideFromUtf8(key).c_str(), fallback,
                                                WideFromUtf8(path_).c_str()));
}

std::string ProfileSettingsStore::ReadText(const char* section, const char* key, const char* fallback,
                                           size_t maxBytes) {
  std::vector<wchar_t> text(maxBytes + 1, L'\0');
  GetPrivateProfileStringW(WideFromUtf8(section).c_str(), WideFromUtf8(key).c_str(), WideFromUtf8(fallback).c_str(),
                           text.data(), static_cast<DWORD>(text.size()), WideFromUtf8(path_).c_str());
  return Utf8FromWide(text.data());
}

void ProfileSettingsStore::WriteText(const char* section, const char* key, const std::string& value) {
  std::wstring wide = WideFromUtf8(value);
  if (!FitsCodePage(wide)) MakeUnicode(path_);
  WritePrivateProfileStringW(WideFromUtf8(section).c_str(), WideFromUtf8(key).c_str(), wide.c_str(),
                             WideFromUtf8(path_).c_str());
}

}  // namespace zam
