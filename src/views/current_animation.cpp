#include "views/current_animation.h"

namespace zam {

int CurrentAfterSelectionChange(int current, int row, bool selected, int animationCount) {
  bool concernsCurrent = row == current || row == -1;
  if (concernsCurrent && !selected) return -1;
  if (current == -1 && selected && row >= 0 && row < animationCount) return row;
  return current;
}

}  // namespace zam
