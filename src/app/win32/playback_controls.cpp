#include "app/win32/playback_controls.h"

#include "app/win32/editor_state.h"
#include "resource.h"

namespace zam {

void StopPlayback() {
  EditorState& editor = Editor();
  KillTimer(editor.window, kPlaybackTimerId);
  SetDlgItemTextA(editor.window, IDC_PLAY, "|>");
  editor.lastTick = 0;
}

}  // namespace zam
