#pragma once
// Quaternion helpers with the results of Direct3D's utility library.

#include "math/types.h"

namespace zam {

inline constexpr Quaternion kIdentityQuaternion{0.0f, 0.0f, 0.0f, 1.0f};

float Dot(const Quaternion& a, const Quaternion& b);

// The quaternion of the rotation in the upper 3x3 of `m` (the inverse of
// RotationMatrix up to sign). Finite input never divides by zero.
Quaternion QuaternionFromMatrix(const Matrix4& m);

// Spherical interpolation from a (u = 0) to b (u = 1) along the shorter arc;
// nearly equal quaternions are blended linearly. Not renormalised.
Quaternion Slerp(const Quaternion& a, const Quaternion& b, float u);

}  // namespace zam
