#include "img/img_records.h"

#include "base/text.h"
#include "platform/file.h"

namespace zam {

std::string ImgEntryName(const ImgEntry& entry) { return NameText(entry.name); }

bool ImgEntryNameMatches(const ImgEntry& entry, const std::string& name) {
  return EqualIgnoringAsciiCase(std::string_view(entry.name, NameLength(entry.name, kImgNameSize)), name);
}

std::string ImgPairPartner(const std::string& path) {
  bool isData = EndsWithIgnoringAsciiCase(path, ".img");
  if (!isData && !EndsWithIgnoringAsciiCase(path, ".dir")) return std::string();
  std::string stem = path.substr(0, path.size() - 3);
  const char* other = isData ? "dir" : "img";
  // The extension's case letter by letter first ("x.IMG" pairs with "x.DIR").
  std::string sameCase(other);
  for (size_t i = 0; i < 3; ++i) {
    char given = path[path.size() - 3 + i];
    if (given >= 'A' && given <= 'Z') sameCase[i] = AsciiUpper(sameCase[i]);
  }
  std::string upper = sameCase;
  for (char& c : upper) c = AsciiUpper(c);
  for (const std::string& extension : {sameCase, std::string(other), upper}) {
    if (File::OpenRead(stem + extension).IsOpen()) return stem + extension;
  }
  return std::string();
}

}  // namespace zam
