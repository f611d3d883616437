#pragma once
// The main window's preview: the device from start-up to close, frames of
// the editor's current animation, and frames for another window (the
// Opening Option dialog) on the same device, camera and options.

#include <windows.h>

#include "app/win32/main_window.h"

namespace zam {

// Creates the device for the preview area; without one the editor works on,
// with an empty preview ("Failed to InitializeDirect3D" when no device could
// be made, nothing when Direct3D itself is missing).
void InitPreview(MainWindow& main);
// Frames of the main preview area's size from the next frame on (after a
// layout, and when another window gives the device back).
void FitPreviewToArea(MainWindow& main);
// The Preview menu's Re-Init D3DDevice: a reset now.
void ReinitPreview(MainWindow& main);
void ReleasePreview(MainWindow& main);

// The character or weapon of the editor, uploaded again.
void UploadModel(MainWindow& main, ModelRole role);

// A frame of the current animation at the play head in the main preview
// area; while the device draws for another window, the area shows its last
// frame instead.
void RenderPreview(MainWindow& main);
// A frame of animation `animation` of `package` into `area`.
void RenderPreviewInto(MainWindow& main, HWND area, const AnimPackage& package, int animation);

// True while a message box or another window of the program is in front of
// the main window: the main window then draws no frames of its own.
bool OtherProgramWindowInFront(const MainWindow& main);

}  // namespace zam
