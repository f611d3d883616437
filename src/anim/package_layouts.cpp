#include "anim/package_layouts.h"

namespace zam {
namespace {

constexpr std::array<PackageLayout, kPackageLayoutCount> kLayouts = {{
    {kFormatANPK, "ANPK", "anpk", ReadAnpkPackage, WriteAnpkPackage},
    {kFormatANP3, "ANP3", "anp3", ReadAnp3Package, WriteAnp3Package},
    {kFormatANP2, "ANP2", "anp2", ReadAnp2Package, WriteAnp2Package},
}};

}  // namespace

const std::array<PackageLayout, kPackageLayoutCount>& PackageLayouts() { return kLayouts; }

const PackageLayout* LayoutOfTag(uint32_t tag) {
  int index = LayoutIndex(tag);
  return index < 0 ? nullptr : &kLayouts[static_cast<size_t>(index)];
}

const PackageLayout* LayoutNamed(std::string_view commandLineName) {
  for (const PackageLayout& layout : kLayouts) {
    if (commandLineName == layout.commandLineName) return &layout;
  }
  return nullptr;
}

int LayoutIndex(uint32_t tag) {
  for (size_t i = 0; i < kLayouts.size(); ++i) {
    if (kLayouts[i].tag == tag) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace zam
