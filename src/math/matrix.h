#pragma once
// The matrix builders the preview needs, with the results Direct3D's utility
// library gives: row vectors, translation in the fourth row, A x B applies A
// first.

#include "math/types.h"

namespace zam {

Matrix4 IdentityMatrix();
// a x b: a point transformed by the result is transformed by a, then by b.
Matrix4 Multiply(const Matrix4& a, const Matrix4& b);
Matrix4 TranslationMatrix(const Vec3& t);
Matrix4 ScalingMatrix(const Vec3& s);
// The rotation of a unit quaternion; other quaternions are used as they are,
// without normalising.
Matrix4 RotationMatrix(const Quaternion& q);

// p x m for a point (w = 1) and for a direction (w = 0: no translation).
Vec3 TransformPoint(const Vec3& p, const Matrix4& m);
Vec3 TransformDirection(const Vec3& v, const Matrix4& m);

// Right-handed perspective projection: vertical field of view in radians,
// width / height, near and far plane distances.
Matrix4 PerspectiveFovRH(float fovY, float aspect, float zNear, float zFar);
// Right-handed view matrix of an eye at `eye` looking at `target`.
Matrix4 LookAtRH(const Vec3& eye, const Vec3& target, const Vec3& up);

}  // namespace zam
