#pragma once
// Where a model's texture dictionary is looked for: beside the DFF, under
// the same name with the extension "txd".

#include <string>

namespace zam {

// The DFF's path with everything after the last "." of its file name
// replaced by "txd"; empty when the file name has no extension.
std::string DictionaryPathFor(const std::string& dffPath);

}  // namespace zam
