#pragma once
// Reads an IFP animation package ("ANPK" or "ANP3" layout) from bytes in
// memory. The reader never reads outside the given bytes and never allocates
// more records than those bytes could hold, whatever counts the file claims.

#include <cstddef>
#include <cstdint>

#include "anim/anim_package.h"
#include "anim/ifp_read_status.h"

namespace zam {

// Replaces `package` with the package held in data[0, size).
IfpReadStatus ReadIfp(const uint8_t* data, size_t size, AnimPackage& package);

}  // namespace zam
