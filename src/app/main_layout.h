#pragma once
// Where the main window's controls go for a client area of W x H pixels.
// Controls not listed keep their places from the dialog template.

#include <vector>

namespace zam {

struct ControlPlacement {
  int id;
  bool moves;    // x, y apply
  bool resizes;  // width, height apply
  int x, y, width, height;
};

std::vector<ControlPlacement> MainLayout(int clientWidth, int clientHeight);

// The client area never becomes smaller than this.
inline constexpr int kMinClientWidth = 720;
inline constexpr int kMinClientHeight = 585;

}  // namespace zam
