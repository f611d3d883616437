#pragma once
// What the main window holds besides its controls, for the life of the
// window: the editor's model, the settings file it writes, the browser pane,
// the key grid, and the preview's device and renderer. Kept with the window
// itself.

#include <windows.h>

#include <string>
#include <vector>

#include "app/editor.h"
#include "app/win32/settings_store_win32.h"
#include "browser/win32/browser_tree.h"
#include "platform/win32/unique_objects.h"
#include "preview/win32/preview_device.h"
#include "preview/win32/preview_renderer.h"
#include "resource.h"
#include "views/win32/key_grid.h"
#include "views/win32/package_views.h"

namespace zam {

inline constexpr UINT_PTR kPlaybackTimerId = 0x4D494E41;  // the bytes "ANIM"

struct MainWindow {
  MainWindow(HWND window, HINSTANCE instance, const std::string& settingsPath)
      : window(window), instance(instance), store(settingsPath), editor(store) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND window;
  HINSTANCE instance;
  HMENU menu = nullptr;
  win32::UniqueMenu treeMenu;
  ProfileSettingsStore store;
  Editor editor;
  BrowserView browser;  // the tree, the path box and the drive box
  KeyGridView keyGrid;
  // The bone list's rows as listed: with no current animation they stay those
  // of the animation last current.
  std::vector<TrackRow> boneRows;
  POINTS lastMouse{};  // the previous mouse position over the window, for the camera
  int keyEditMode = IDC_KEY_NONE;  // the key value panel's radio button: which values can be typed

  // Set while the window shows the editor's changes: the notifications its
  // own changes to the lists raise are not the user's.
  bool showingChanges = false;
  // Set while another window (the Opening Option dialog) draws with the
  // device: the preview area shows its last frame meanwhile.
  bool previewLent = false;
  // The packages named on the command line after the first, offered once
  // the preview's device exists.
  std::vector<std::string> offeredAtStart;

  // The device goes first, releasing what it holds of the renderer's.
  PreviewRenderer renderer;
  PreviewDevice previewDevice;

  HWND Control(int id) const { return GetDlgItem(window, id); }
};

// The main window `window`'s own; nullptr before its WM_INITDIALOG and after
// it is destroyed.
MainWindow* MainWindowOf(HWND window);
MainWindow& CreateMainWindow(HWND window, HINSTANCE instance, const std::string& settingsPath);
// At WM_NCDESTROY, after every control (whose procedures may use it) is gone.
void DestroyMainWindow(HWND window);

}  // namespace zam
