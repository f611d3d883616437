#include "math/quaternion.h"

#include <cmath>

namespace zam {
namespace {

// Below this distance from 1 of the dot product the arc is too short for
// sin(theta) to be a safe divisor, and the linear blend is as good.
constexpr float kNearlyEqual = 0.001f;

}  // namespace

float Dot(const Quaternion& a, const Quaternion& b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }

Quaternion QuaternionFromMatrix(const Matrix4& matrix) {
  const auto& m = matrix.m;
  const float trace = m[0][0] + m[1][1] + m[2][2] + 1.0f;
  if (trace > 1.0f) {
    // Here |w| > 1/2: s = 4w.
    const float s = 2.0f * std::sqrt(trace);
    return {(m[1][2] - m[2][1]) / s, (m[2][0] - m[0][2]) / s, (m[0][1] - m[1][0]) / s, 0.25f * s};
  }
  // Otherwise derive everything from the largest of x, y, z, whose diagonal
  // entry is the largest: s = 4 times that component. With the trace at most
  // 1 the root's argument is at least 1, so s never vanishes.
  if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2]) {
    const float s = 2.0f * std::sqrt(1.0f + m[0][0] - m[1][1] - m[2][2]);
    return {0.25f * s, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[1][2] - m[2][1]) / s};
  }
  if (m[1][1] >= m[2][2]) {
    const float s = 2.0f * std::sqrt(1.0f + m[1][1] - m[0][0] - m[2][2]);
    return {(m[0][1] + m[1][0]) / s, 0.25f * s, (m[1][2] + m[2][1]) / s, (m[2][0] - m[0][2]) / s};
  }
  const float s = 2.0f * std::sqrt(1.0f + m[2][2] - m[0][0] - m[1][1]);
  return {(m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, 0.25f * s, (m[0][1] - m[1][0]) / s};
}

Quaternion Slerp(const Quaternion& a, const Quaternion& b, float u) {
  float dot = Dot(a, b);
  // q and -q are the same rotation; flipping b keeps to the shorter arc.
  float sign = 1.0f;
  if (dot < 0.0f) {
    dot = -dot;
    sign = -1.0f;
  }
  float weightA = 1.0f - u;
  float weightB = u;
  if (1.0f - dot > kNearlyEqual) {
    const float theta = std::acos(dot);
    const float sinTheta = std::sin(theta);
    weightA = std::sin(theta * (1.0f - u)) / sinTheta;
    weightB = std::sin(theta * u) / sinTheta;
  }
  weightB *= sign;
  return {weightA * a.x + weightB * b.x, weightA * a.y + weightB * b.y, weightA * a.z + weightB * b.z,
          weightA * a.w + weightB * b.w};
}

}  // namespace zam
