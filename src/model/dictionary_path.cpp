#include "model/dictionary_path.h"

namespace zam {

std::string DictionaryPathFor(const std::string& dffPath) {
  size_t nameStart = dffPath.find_last_of("/\\");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  size_t dot = dffPath.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return std::string();
  return dffPath.substr(0, dot + 1) + "txd";
}

}  // namespace zam
