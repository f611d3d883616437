#pragma once
// The play head controls of the main window.

#include "app/win32/editor_state.h"

namespace zam {

// Kills the playback timer, shows the play caption and forgets the last tick.
void StopPlayback(EditorState& editor);

}  // namespace zam
