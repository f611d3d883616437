#include "platform/win32/wide_text.h"

#include <windows.h>

#include <cwchar>

namespace zam {
namespace {

std::wstring WideFrom(UINT codePage, const std::string& text) {
  if (text.empty()) return std::wstring();
  int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string NarrowFrom(UINT codePage, const wchar_t* text, size_t size) {
  if (size == 0) return std::string();
  int length = WideCharToMultiByte(codePage, 0, text, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text, static_cast<int>(size), narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::wstring WideFromUtf8(const std::string& text) { return WideFrom(CP_UTF8, text); }

std::string Utf8FromWide(const std::wstring& text) { return NarrowFrom(CP_UTF8, text.data(), text.size()); }

std::string Utf8FromWide(const wchar_t* text) { return NarrowFrom(CP_UTF8, text, std::wcslen(text)); }

std::wstring WideFromCodePage(const std::string& bytes) { return WideFrom(CP_ACP, bytes); }

std::string CodePageFromWide(const std::wstring& text) { return NarrowFrom(CP_ACP, text.data(), text.size()); }

}  // namespace zam
