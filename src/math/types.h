#pragma once
// Plain vector, quaternion and matrix records. Matrices are 4x4 row-major
// floats that transform row vectors (p' = p x M), translation in the fourth
// row, products applied left to right: the layout Direct3D 9 takes as is.

#include <cstdint>

namespace zam {

struct Vec3 {
  float x, y, z;
};

// x, y, z, w in this order, as key frames store them.
struct Quaternion {
  float x, y, z, w;
};

struct Matrix4 {
  float m[4][4];
};

static_assert(sizeof(Vec3) == 12, "three packed floats");
static_assert(sizeof(Quaternion) == 16, "four packed floats");
static_assert(sizeof(Matrix4) == 64, "sixteen packed floats, as D3DMATRIX");

}  // namespace zam
