#include "math/euler.h"

#include <algorithm>
#include <cmath>

namespace zam {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerDegree = kPi / 180.0;

// atan2 in degrees, -180 given as 180 so that every angle lies in (-180, 180].
double Degrees(double y, double x) {
  double angle = std::atan2(y, x) / kRadiansPerDegree;
  return angle <= -180.0 ? 180.0 : angle;
}

struct Quat {
  double x, y, z, w;
};

Quat Product(const Quat& a, const Quat& b) {
  return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

}  // namespace

Quaternion QuaternionFromHeadingPitchRoll(const HeadingPitchRoll& angles) {
  const double h = angles.heading * kRadiansPerDegree / 2, p = angles.pitch * kRadiansPerDegree / 2,
               r = angles.roll * kRadiansPerDegree / 2;
  const Quat heading{0, 0, std::sin(h), std::cos(h)}, pitch{std::sin(p), 0, 0, std::cos(p)},
      roll{0, std::sin(r), 0, std::cos(r)};
  const Quat q = Product(Product(heading, pitch), roll);
  const double length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
  return {static_cast<float>(q.x / length), static_cast<float>(q.y / length), static_cast<float>(q.z / length),
          static_cast<float>(q.w / length)};
}

HeadingPitchRoll HeadingPitchRollOf(const Quaternion& rotation) {
  double x = rotation.x, y = rotation.y, z = rotation.z, w = rotation.w;
  const double length = std::sqrt(x * x + y * y + z * z + w * w);
  if (!(length > 0.0)) return {0.0, 0.0, 0.0};
  x /= length, y /= length, z /= length, w /= length;
  // The entries of the rotation matrix (column vectors) the angles come from:
  // m21 = sin P; m01 = -sin H cos P, m11 = cos H cos P; m20 = -cos P sin R, m22 = cos P cos R.
  const double m21 = 2 * (y * z + x * w);
  const double m01 = 2 * (x * y - z * w), m11 = 1 - 2 * (x * x + z * z);
  const double m20 = 2 * (x * z - y * w), m22 = 1 - 2 * (x * x + y * y);
  const double pitch = std::asin(std::clamp(m21, -1.0, 1.0)) / kRadiansPerDegree;
  if (std::fabs(m21) > 1.0 - 1e-9) {
    // Gimbal lock: with the roll 0, m00 = cos H and m10 = sin H.
    const double m00 = 1 - 2 * (y * y + z * z), m10 = 2 * (x * y + z * w);
    return {Degrees(m10, m00), pitch, 0.0};
  }
  return {Degrees(-m01, m11), pitch, Degrees(-m20, m22)};
}

}  // namespace zam
