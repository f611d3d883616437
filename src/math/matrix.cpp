#include "math/matrix.h"

#include <cmath>

#include "math/vector.h"

namespace zam {

Matrix4 IdentityMatrix() {
  return {{{1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}}};
}

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
  }
  return r;
}

Matrix4 TranslationMatrix(const Vec3& t) {
  Matrix4 r = IdentityMatrix();
  r.m[3][0] = t.x;
  r.m[3][1] = t.y;
  r.m[3][2] = t.z;
  return r;
}

Matrix4 ScalingMatrix(const Vec3& s) {
  Matrix4 r = IdentityMatrix();
  r.m[0][0] = s.x;
  r.m[1][1] = s.y;
  r.m[2][2] = s.z;
  return r;
}

Matrix4 RotationMatrix(const Quaternion& q) {
  const float x = q.x, y = q.y, z = q.z, w = q.w;
  return {{{1.0f - 2.0f * (y * y + z * z), 2.0f * (x * y + z * w), 2.0f * (x * z - y * w), 0.0f},
           {2.0f * (x * y - z * w), 1.0f - 2.0f * (x * x + z * z), 2.0f * (y * z + x * w), 0.0f},
           {2.0f * (x * z + y * w), 2.0f * (y * z - x * w), 1.0f - 2.0f * (x * x + y * y), 0.0f},
           {0.0f, 0.0f, 0.0f, 1.0f}}};
}

Vec3 TransformPoint(const Vec3& p, const Matrix4& m) {
  return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0],
          p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
          p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

Vec3 TransformDirection(const Vec3& v, const Matrix4& m) {
  return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
          v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Matrix4 PerspectiveFovRH(float fovY, float aspect, float zNear, float zFar) {
  const float c = 1.0f / std::tan(fovY / 2.0f);
  Matrix4 r{};
  r.m[0][0] = c / aspect;
  r.m[1][1] = c;
  r.m[2][2] = zFar / (zNear - zFar);
  r.m[2][3] = -1.0f;
  r.m[3][2] = zNear * zFar / (zNear - zFar);
  return r;
}

Matrix4 LookAtRH(const Vec3& eye, const Vec3& target, const Vec3& up) {
  const Vec3 zAxis = Normalize(Subtract(eye, target));
  const Vec3 xAxis = Normalize(Cross(up, zAxis));
  const Vec3 yAxis = Cross(zAxis, xAxis);
  return {{{xAxis.x, yAxis.x, zAxis.x, 0.0f},
           {xAxis.y, yAxis.y, zAxis.y, 0.0f},
           {xAxis.z, yAxis.z, zAxis.z, 0.0f},
           {-Dot(xAxis, eye), -Dot(yAxis, eye), -Dot(zAxis, eye), 1.0f}}};
}

}  // namespace zam
