#pragma once
// Small Vec3 helpers used by the camera and the matrix builders.

#include <cmath>

#include "math/types.h"

namespace zam {

inline Vec3 Add(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 Subtract(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 Scale(const Vec3& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
inline float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// A zero vector has no direction and stays zero instead of dividing by zero.
inline Vec3 Normalize(const Vec3& v) {
  float length = std::sqrt(Dot(v, v));
  if (!(length > 0.0f)) return {0.0f, 0.0f, 0.0f};
  return Scale(v, 1.0f / length);
}

}  // namespace zam
