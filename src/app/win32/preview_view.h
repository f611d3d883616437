#pragma once
// The main window's preview: the device from start-up to close, frames of
// the document's current animation, and frames for other windows (the
// Opening Option dialog) on the same device, camera and options.

#include <windows.h>

#include "app/win32/editor_state.h"

namespace zam {

// Creates the device for the preview area; without one the editor works on,
// with an empty preview ("Failed to InitializeDirect3D" when no device could
// be made, nothing when Direct3D itself is missing).
void InitPreview(EditorState& editor);
// Frames of `area`'s client size from now on.
void ResetPreview(EditorState& editor, HWND area);
void ReleasePreview(EditorState& editor);

// A frame of the main package's current animation at the play head, in the
// main preview area.
void RenderPreview(EditorState& editor);
// A frame of animation `animation` of `package` into `area`.
void RenderPreviewInto(EditorState& editor, HWND area, const AnimPackage& package, int animation);

// True while a message box or another window of the program is in front of
// the main window: the main window then draws no frames.
bool OtherProgramWindowInFront(const EditorState& editor);

}  // namespace zam
