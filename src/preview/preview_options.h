#pragma once
// What the preview draws and how its camera aims: one record for the whole
// program, read from the settings at start-up and switched by the Preview menu.

#include <cstdint>

namespace zam {

// Black, opaque, as a Direct3D colour 0xAARRGGBB.
inline constexpr uint32_t kInitialBackgroundColor = 0xFF000000;

struct PreviewOptions {
  bool showAxis = true;
  bool showMesh = true;  // the ground grid; the character is always drawn
  bool showBone = true;
  bool cullingDisabled = false;
  bool specView = false;  // the camera follows the root translation
  uint32_t backgroundColor = kInitialBackgroundColor;
};

}  // namespace zam
