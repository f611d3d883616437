#include "demo_animations.h"

#include <cmath>
#include <functional>
#include <string>

#include "math/types.h"

namespace zam::gen {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kKeyStep = 6;  // frames between keys

// A rotation by `degrees` about a unit axis, right-handed.
Quaternion AxisAngle(float ax, float ay, float az, float degrees) {
  float half = degrees * kPi / 360.0f;
  float s = std::sin(half);
  return {ax * s, ay * s, az * s, std::cos(half)};
}

// `a` applied first, then `b`.
Quaternion Then(const Quaternion& a, const Quaternion& b) {
  return {b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y, b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
          b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w, b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z};
}

// The phase of `frame` in a cycle of `frames` frames, as an angle.
float Phase(int frame, int frames) { return 2.0f * kPi * static_cast<float>(frame) / static_cast<float>(frames); }

struct TrackShape {
  const char* name;
  int32_t boneId;
  std::function<Quaternion(int frame)> rotation;
  std::function<void(int frame, float* translation)> translation;  // empty: a rotation-only track
};

Animation MakeAnimation(const char* name, int frames, const std::vector<TrackShape>& tracks) {
  Animation animation{};
  SetName(animation.name, name);
  for (const TrackShape& shape : tracks) {
    BoneTrack track{};
    SetName(track.name, shape.name);
    track.boneId = shape.boneId;
    track.keyType = shape.translation ? kKeyKRT0 : kKeyKR00;
    for (int frame = 0; frame <= frames; frame += kKeyStep) {
      KeyFrame key{};
      Quaternion r = shape.rotation(frame);
      key.rotation[0] = r.x, key.rotation[1] = r.y, key.rotation[2] = r.z, key.rotation[3] = r.w;
      if (shape.translation) shape.translation(frame, key.translation);
      key.time = static_cast<float>(frame) / 60.0f;
      track.keys.push_back(key);
    }
    animation.bones.push_back(track);
  }
  return animation;
}

// Turned to face +Y, standing on the grid; `forward` metres walked at `frame`.
TrackShape Root(std::function<float(int frame)> forward) {
  return {"Root", 0, [](int) { return AxisAngle(0, 0, 1, 180.0f); },
          [forward](int frame, float* t) {
            t[0] = 0.0f;
            t[1] = forward(frame);
            t[2] = -1.0f;
          }};
}

TrackShape Still(const char* name, int32_t id) {
  return {name, id, [](int) { return AxisAngle(0, 0, 1, 0.0f); }, {}};
}

// The upper arms hang from the T-pose of the model: the left one (along +X)
// turns down about +Y, the right one (along -X) the other way.
TrackShape UpperArm(bool left, std::function<float(int frame)> down, std::function<float(int frame)> swing) {
  return {left ? "L UpperArm" : " R UpperArm", left ? 32 : 22,
          [left, down, swing](int frame) {
            Quaternion lowered = AxisAngle(0, 1, 0, left ? down(frame) : -down(frame));
            return Then(lowered, AxisAngle(1, 0, 0, swing(frame)));
          },
          {}};
}

Animation Idle() {
  constexpr int frames = 120;
  auto breathe = [](int f) { return std::sin(Phase(f, frames)); };
  return MakeAnimation(
      "idle", frames,
      {Root([](int) { return 0.0f; }), Still("Pelvis", 1),
       {"Spine1", 3, [breathe](int f) { return AxisAngle(1, 0, 0, 3.0f * breathe(f)); }, {}},
       {"Head", 5, [](int f) { return AxisAngle(0, 0, 1, 15.0f * std::sin(Phase(f, frames))); }, {}},
       UpperArm(true, [breathe](int f) { return 78.0f + 3.0f * breathe(f); }, [](int) { return 0.0f; }),
       UpperArm(false, [breathe](int f) { return 78.0f + 3.0f * breathe(f); }, [](int) { return 0.0f; })});
}

Animation Walk() {
  constexpr int frames = 60;
  auto swing = [](int f) { return std::sin(Phase(f, frames)); };
  auto leg = [swing](const char* name, int32_t id, float side) -> TrackShape {
    return {name, id, [swing, side](int f) { return AxisAngle(1, 0, 0, 28.0f * side * swing(f)); }, {}};
  };
  auto calf = [](const char* name, int32_t id, float side) -> TrackShape {
    return {name, id,
            [side](int f) {
              float bend = std::max(0.0f, side * std::cos(Phase(f, frames)));
              return AxisAngle(1, 0, 0, -35.0f * bend);
            },
            {}};
  };
  return MakeAnimation(
      "walk", frames,
      {Root([](int f) { return 1.4f * static_cast<float>(f) / static_cast<float>(frames); }),
       Still("Pelvis", 1), leg("L Thigh", 41, 1.0f), leg("R Thigh", 51, -1.0f), calf("L Calf", 42, 1.0f),
       calf("R Calf", 52, -1.0f),
       UpperArm(true, [](int) { return 80.0f; }, [swing](int f) { return -25.0f * swing(f); }),
       UpperArm(false, [](int) { return 80.0f; }, [swing](int f) { return 25.0f * swing(f); })});
}

Animation Wave() {
  constexpr int frames = 120;
  return MakeAnimation(
      "wave", frames,
      {Root([](int) { return 0.0f; }), Still("Pelvis", 1),
       UpperArm(true, [](int) { return 78.0f; }, [](int) { return 0.0f; }),
       UpperArm(false, [](int) { return -55.0f; }, [](int) { return 0.0f; }),
       {" R Forearm", 23,
        [](int f) { return AxisAngle(0, 1, 0, -40.0f - 30.0f * std::sin(2.0f * Phase(f, frames))); }, {}},
       {"Head", 5, [](int) { return AxisAngle(0, 1, 0, 8.0f); }, {}}});
}

}  // namespace

AnimPackage DemoPackage(uint32_t format) {
  AnimPackage package{};
  package.format = format;
  SetName(package.name, "demo");
  package.animations = {Idle(), Walk(), Wave()};
  return package;
}

}  // namespace zam::gen
