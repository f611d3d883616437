#pragma once
// Reads an IFP animation package ("ANPK" or "ANP3" layout) from bytes in
// memory. The reader never reads outside the given bytes and never allocates
// more records than those bytes could hold, whatever counts the file claims.

#include <cstddef>
#include <cstdint>

#include "anim/anim_package.h"

namespace zam {

enum class IfpReadStatus {
  Ok,
  // The bytes ended before everything the file declares: the animations,
  // tracks and keys begun before the end were read (the last of each keeps
  // what was there, zero-filled beyond), those never begun are left out.
  Truncated,
  // The first four bytes are neither tag; the package was not touched.
  UnknownFormat,
};

// Replaces `package` with the package held in data[0, size).
IfpReadStatus ReadIfp(const uint8_t* data, size_t size, AnimPackage& package);

// The readers of the two layouts, which ReadIfp reaches through the layout
// table (anim/package_layouts.h). The tag is not checked again.
IfpReadStatus ReadAnpkPackage(const uint8_t* data, size_t size, AnimPackage& package);
IfpReadStatus ReadAnp3Package(const uint8_t* data, size_t size, AnimPackage& package);

}  // namespace zam
