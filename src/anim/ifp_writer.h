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
// clamped to the 16-bit range (not wrapped), NaN stored as 0. Times are
// converted with a double scale: a time read back as the float nearest to
// n/60 is then stored as n - 1 for many n, as established writers of this
// layout do. The power-of-two scales of rotations and translations give the
// same exact products in float, which lets the compiler vectorise them.
template <typename Real>
inline int16_t ToFixed16(float value, Real scale) {
  Real product = static_cast<Real>(value) * scale;
  product = product == product ? product : Real(0);  // NaN
  product = product < Real(-32768) ? Real(-32768) : product;
  product = product > Real(32767) ? Real(32767) : product;
  return static_cast<int16_t>(static_cast<int32_t>(product));
}

}  // namespace zam
