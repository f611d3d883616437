#pragma once
// Serialises an AnimPackage into the IFP layout its `format` names.

#include <cstdint>
#include <vector>

#include "anim/anim_package.h"

namespace zam {

enum class IfpWriteStatus {
  Ok,
  // `format` is neither layout: only its four bytes were written.
  UnknownFormat,
};

// Appends the package's bytes to `out`.
IfpWriteStatus WriteIfp(const AnimPackage& package, std::vector<uint8_t>& out);

// ANP3 fixed-point conversion: value x scale truncated toward zero and
// clamped to the 16-bit range (not wrapped), NaN stored as 0.
int16_t ToFixed16(float value, double scale);

}  // namespace zam
