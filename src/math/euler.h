#pragma once
// Rotations as heading, pitch and roll in degrees, as the key editor shows
// them: the rotation is Rz(heading) x Rx(pitch) x Ry(roll), rotations about
// the Z, X and Y axes (Z up) applied to a vector from right to left: roll
// first, heading last.

#include "math/types.h"

namespace zam {

struct HeadingPitchRoll {
  double heading;  // (-180, 180]
  double pitch;    // [-90, 90]
  double roll;     // (-180, 180]
};

// The unit quaternion of that rotation.
Quaternion QuaternionFromHeadingPitchRoll(const HeadingPitchRoll& angles);

// The angles of a quaternion's rotation (normalised first; a zero quaternion
// gives zeros). At a pitch of +-90 degrees heading and roll turn about the
// same axis: the roll is then 0.
HeadingPitchRoll HeadingPitchRollOf(const Quaternion& rotation);

}  // namespace zam
