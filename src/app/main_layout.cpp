#include "app/main_layout.h"

#include "resource.h"

namespace zam {

std::vector<ControlPlacement> MainLayout(int w, int h) {
  auto size = [](int id, int width, int height) { return ControlPlacement{id, false, true, 0, 0, width, height}; };
  auto move = [](int id, int x, int y) { return ControlPlacement{id, true, false, x, y, 0, 0}; };
  auto place = [](int id, int x, int y, int width, int height) {
    return ControlPlacement{id, true, true, x, y, width, height};
  };
  return {
      size(IDC_DIRECTORY_GROUP, 180, h - 260),
      size(IDC_BROWSER_TREE, 165, h - 333),
      size(IDC_IFP_GROUP, 180, h - 260),
      size(IDC_ANIMATION_LIST, 165, h - 309),
      size(IDC_PREVIEW_GROUP, w - 360, h - 260),
      size(IDC_PREVIEW, w - 375, h - 284),
      place(IDC_ANIMATION_GROUP, 0, h - 260, w, 260),
      move(IDC_BONE_LIST, 8, h - 244),
      place(IDC_KEY_GRID, 157, h - 244, w - 277, 203),
      move(IDC_EDIT_LABEL, w - 112, h - 236),
      move(IDC_KEY_NONE, w - 112, h - 219),
      move(IDC_KEY_TRANS, w - 65, h - 236),
      move(IDC_KEY_ROTATE, w - 65, h - 219),
      move(IDC_LABEL_X, w - 112, h - 189),
      move(IDC_LABEL_Y, w - 112, h - 165),
      move(IDC_LABEL_Z, w - 112, h - 140),
      move(IDC_LABEL_H, w - 112, h - 108),
      move(IDC_LABEL_P, w - 112, h - 83),
      move(IDC_LABEL_R, w - 112, h - 59),
      move(IDC_VALUE_X, w - 97, h - 195),
      move(IDC_VALUE_Y, w - 97, h - 171),
      move(IDC_VALUE_Z, w - 97, h - 146),
      move(IDC_VALUE_H, w - 97, h - 114),
      move(IDC_VALUE_P, w - 97, h - 89),
      move(IDC_VALUE_R, w - 97, h - 65),
      move(IDC_GO_START, 8, h - 32),
      move(IDC_STEP_BACK, 38, h - 32),
      move(IDC_PLAY, 68, h - 32),
      move(IDC_STEP_FORWARD, 98, h - 32),
      move(IDC_GO_END, 128, h - 32),
      place(IDC_TIME_BAR, 150, h - 41, w - 262, 32),
      move(IDC_CURRENT_FRAME, w - 112, h - 32),
      // Between the frame boxes and as tall, its text centred like theirs.
      place(IDC_FRAME_SEPARATOR, w - 66, h - 32, 12, 23),
      move(IDC_FRAME_COUNT, w - 52, h - 32),
  };
}

}  // namespace zam
