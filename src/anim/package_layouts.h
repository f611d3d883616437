#pragma once
// The IFP package layouts in one table: each layout's tag, the names the
// editor and zam give it, and its reader and writer. ReadIfp and WriteIfp
// dispatch through the table once per file; the editor's layout box lists
// the layouts in table order.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "anim/anim_package.h"
#include "anim/ifp_read_status.h"
#include "base/byte_writer.h"

namespace zam {

struct PackageLayout {
  uint32_t tag;                 // the file's first four bytes, and AnimPackage::format
  const char* shownName;        // in the editor's layout box
  const char* commandLineName;  // zam convert --to
  // Replaces `package` with the file in data[0, size), which starts with the tag.
  IfpReadStatus (*read)(const uint8_t* data, size_t size, AnimPackage& package);
  // Appends the package's bytes after the tag.
  void (*write)(const AnimPackage& package, ByteWriter& out);
};

inline constexpr size_t kPackageLayoutCount = 3;

// ANPK, ANP3, then ANP2.
const std::array<PackageLayout, kPackageLayoutCount>& PackageLayouts();

// The layout of a tag or AnimPackage::format; nullptr for none.
const PackageLayout* LayoutOfTag(uint32_t tag);
// The layout with that command-line name, exactly as written; nullptr for none.
const PackageLayout* LayoutNamed(std::string_view commandLineName);
// The layout's place in PackageLayouts(), -1 for none.
int LayoutIndex(uint32_t tag);

// The table's readers and writers, defined by the IFP reader and writer,
// which reach them through the table. A reader does not check the tag again;
// a writer writes the package's bytes after its tag, whatever its `format` says.
IfpReadStatus ReadAnpkPackage(const uint8_t* data, size_t size, AnimPackage& package);
IfpReadStatus ReadAnp3Package(const uint8_t* data, size_t size, AnimPackage& package);
IfpReadStatus ReadAnp2Package(const uint8_t* data, size_t size, AnimPackage& package);
void WriteAnpkPackage(const AnimPackage& package, ByteWriter& out);
void WriteAnp3Package(const AnimPackage& package, ByteWriter& out);
void WriteAnp2Package(const AnimPackage& package, ByteWriter& out);

}  // namespace zam
