#pragma once
// Everything the main window owns, one instance for the life of the window,
// kept with the window itself.

#include <windows.h>

#include <string>

#include "anim/anim_package.h"
#include "anim/edit_history.h"
#include "app/document.h"
#include "app/playback.h"
#include "app/settings.h"
#include "browser/win32/browser_tree.h"
#include "model/model_data.h"
#include "platform/win32/unique_objects.h"
#include "preview/camera.h"
#include "preview/win32/preview_device.h"
#include "preview/win32/preview_renderer.h"
#include "views/win32/key_grid.h"

namespace zam {

inline constexpr UINT_PTR kPlaybackTimerId = 0x4D494E41;  // the bytes "ANIM"

struct EditorState {
  HWND window = nullptr;
  HINSTANCE instance = nullptr;
  HMENU menu = nullptr;
  win32::UniqueMenu treeMenu;
  std::string settingsPath;
  Settings settings;             // settings.preview: what the preview draws
  std::string initialDirectory;  // where the browser starts
  BrowserView browser;           // the tree, the path box and the drive box
  ModelPaths modelPaths;         // the models start-up loads into the preview

  AnimPackage package{};
  DocumentState document;
  EditHistory history;  // of the package's changes since it was opened
  int currentAnimation = -1;
  PlayHead playHead;
  PreviewCamera camera;
  POINTS lastMouse{};  // the main window's previous mouse position, for the camera
  KeyGridView keyGrid;

  // The preview's models (empty records when none is loaded) and the device
  // that draws them; the device goes first, releasing what it holds of them.
  SkinnedModelData character;
  WeaponModelData weapon;
  PreviewRenderer renderer;
  PreviewDevice previewDevice;

  const Animation* CurrentAnimation() const { return AnimationAt(package, currentAnimation); }
  Animation* CurrentAnimation() { return AnimationAt(package, currentAnimation); }
  HWND Control(int id) const { return GetDlgItem(window, id); }
};

// The state of the main window `window`; nullptr before its WM_INITDIALOG
// and after it is destroyed.
EditorState* EditorOf(HWND window);
// Makes the state belong to `window` from its WM_INITDIALOG on.
EditorState& CreateEditor(HWND window, HINSTANCE instance);
// At WM_NCDESTROY, after every control (whose procedures may use it) is gone.
void DestroyEditor(HWND window);

}  // namespace zam
