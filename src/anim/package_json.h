#pragma once
// A package as JSON and back, for scripts and other tools. The JSON holds
// every field of the package model, so the package read from what was
// written is the package that was written, field for field and byte for
// byte; floats are written in the shortest form that reads back to the same
// float. This is the one mapping between the model and JSON: a field added
// to a record gets its line in that record's writer and its entry in that
// record's table of fields for the reader (package_json.cpp).

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "anim/anim_package.h"

namespace zam {

// Receives the JSON text piece by piece (64 KB, or a longer column).
using JsonTextSink = std::function<void(const char* text, size_t size)>;

// Writes the package as JSON.
void WritePackageJson(const AnimPackage& package, const JsonTextSink& sink);

// Where reading JSON stopped, and why.
struct PackageJsonError {
  size_t line = 1;    // from 1
  size_t column = 1;  // from 1, in bytes
  std::string message;
};

// Replaces `package` with the package that the JSON text describes. On an
// error (text that is no JSON, a missing or unknown field, a value of the
// wrong type or out of its field's range) the package is left as it was.
std::optional<PackageJsonError> ReadPackageJson(std::string_view text, AnimPackage& package);

}  // namespace zam
