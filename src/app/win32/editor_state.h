#pragma once
// Everything the main window owns, one instance for the life of the window.

#include <windows.h>

#include <string>

#include "anim/anim_package.h"
#include "app/document.h"
#include "app/settings.h"

namespace zam {

inline constexpr UINT_PTR kPlaybackTimerId = 0x4D494E41;  // the bytes "ANIM"
inline constexpr int kDefaultKeyRowHeight = 14;

struct EditorState {
  HWND window = nullptr;
  HINSTANCE instance = nullptr;
  HMENU menu = nullptr;
  HMENU treeMenu = nullptr;
  std::string settingsPath;
  Settings settings;
  std::string initialDirectory;  // where the browser starts
  ModelPaths modelPaths;         // the models start-up loads into the preview

  AnimPackage package{};
  DocumentState document;
  int currentAnimation = -1;

  // Views.
  int keyRowHeight = kDefaultKeyRowHeight;
  float keyGridScale = 24.0f;
  int topRowMark = 0;  // the first visible row the bone list and key grid agreed on
  short lastKeyGridMouseY = 0;
  HWND labelEdit = nullptr;  // the edit box of a label edit in progress
  WNDPROC animationListProc = nullptr;
  WNDPROC boneListProc = nullptr;
  WNDPROC keyGridProc = nullptr;

  // Playback.
  float currentTime = 0.0f;
  DWORD lastTick = 0;
};

// The main window's state; exists from WM_INITDIALOG until the window is destroyed.
EditorState& Editor();
bool HasEditor();
void CreateEditor(HWND window, HINSTANCE instance);
void DestroyEditor();

HWND Control(int id);

}  // namespace zam
