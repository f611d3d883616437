#pragma once
// Text crossing into the system's wide ("W") functions. Inside the program
// every path is UTF-8; names stored inside packages and archives stay the
// 8-bit bytes they were read as, shown through the system's code page.

#include <string>

namespace zam {

// Invalid UTF-8 sequences become U+FFFD.
std::wstring WideFromUtf8(const std::string& text);
// Unpaired surrogates become U+FFFD.
std::string Utf8FromWide(const std::wstring& text);
std::string Utf8FromWide(const wchar_t* text);
// 8-bit names stored in files, through the system's code page (CP_ACP),
// and back; characters the code page lacks become its default character.
std::wstring WideFromCodePage(const std::string& bytes);
std::string CodePageFromWide(const std::wstring& text);

}  // namespace zam
