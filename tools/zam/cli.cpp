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
  return Fail(std::string(msg::kFileCannotOpen) + " " + PrintableName(path) + (reason.empty() ? "" : ": " + reason));
}

void Warn(const std::string& message) { std::fprintf(stderr, "warning: %s\n", message.c_str()); }

int Usage(const char* synopsis) {
  std::fprintf(stderr, "usage: %s\n", synopsis);
  return kExitUsage;
}

std::string PrintableName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c < 0x20 || c >= 0x7F || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
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
