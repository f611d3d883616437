#pragma once
// The play head and the camera of the main window: the playback timer, the
// five play buttons, the time bar, the frame boxes and the mouse over the
// preview.

#include <windows.h>

#include "app/win32/editor_state.h"

namespace zam {

// Kills the playback timer, shows the play caption and forgets the last tick.
void StopPlayback(EditorState& editor);

// The play button: starts playback when stopped, stops it when playing.
void TogglePlayback(EditorState& editor);
bool IsPlaying(const EditorState& editor);

// The four other buttons (their control ids): stop, move the play head, show it.
void OnFrameButton(EditorState& editor, int buttonId);

// The frame boxes and the time bar at the play head, and a frame drawn.
void ShowPlayHead(EditorState& editor);

// WM_TIMER of the main window.
void OnPlaybackTimer(EditorState& editor);
// WM_HSCROLL from the time bar: followed only while the bar has the focus.
void OnTimeBarScroll(EditorState& editor);
// WM_MOUSEMOVE of the main window: turns or zooms the camera over the preview.
void OnPreviewMouseMove(EditorState& editor, WPARAM buttons, LPARAM position);

}  // namespace zam
