#include "cli.h"

#include <cmath>

#include "base/messages.h"

#if defined(_WIN32)
#include <windows.h>
#include <shellapi.h>

#include "platform/win32/wide_text.h"
#endif

namespace zam::cli {

#if defined(_WIN32)
Args ProgramArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  Args args;
  for (int i = 0; wide && i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return args;
}

std::string StoredName(const std::string& argument) { return CodePageFromWide(WideFromUtf8(argument)); }
#else
Args ProgramArguments(int argc, char** argv) { return Args(argv, argv + argc); }

std::string StoredName(const std::string& argument) { return argument; }
#endif

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  return kExitFailure;
}

int FailFile(const std::string& path, const std::string& reason) {
  return Fail(std::string(msg::kFileCannotOpen) + " " + PrintablePath(path) + (reason.empty() ? "" : ": " + reason));
}

void Warn(const std::string& message) { std::fprintf(stderr, "warning: %s\n", message.c_str()); }

int Usage(const char* synopsis) {
  std::fprintf(stderr, "usage: %s\n", synopsis);
  return kExitUsage;
}

namespace {

void AppendEscaped(std::string& out, unsigned char c) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
  out += escaped;
}

// The length of the UTF-8 sequence at text[at] when it is valid and encodes
// no control character (U+0080 to U+009F are C1 controls); 0 otherwise.
// Overlong forms, surrogates and code points beyond U+10FFFF are invalid.
size_t PrintableUtf8Length(const std::string& text, size_t at) {
  const auto byte = [&text](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0; };
  const unsigned char lead = byte(at);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    if (lead == 0xC2) low = 0xA0;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

std::string PrintableName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c < 0x20 || c >= 0x7F || c == '\\') {
      AppendEscaped(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string PrintablePath(const std::string& path) {
  std::string out;
  for (size_t at = 0; at < path.size();) {
    const unsigned char c = static_cast<unsigned char>(path[at]);
    if (size_t length = PrintableUtf8Length(path, at)) {
      out.append(path, at, length);
      at += length;
      continue;
    }
    if (c < 0x20 || c >= 0x7F) {
      AppendEscaped(out, c);
    } else {
      out += static_cast<char>(c);
    }
    ++at;
  }
  return out;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

std::string JsonFloat(float value) {
  if (std::isnan(value)) return "\"nan\"";
  if (std::isinf(value)) return value > 0 ? "\"inf\"" : "\"-inf\"";
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

std::string JsonFloats(const float* values, size_t count) {
  std::string out = "[";
  for (size_t i = 0; i < count; ++i) {
    if (i) out += ",";
    out += JsonFloat(values[i]);
  }
  return out + "]";
}

}  // namespace zam::cli
