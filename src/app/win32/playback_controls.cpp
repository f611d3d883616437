#include "app/win32/playback_controls.h"

#include "base/messages.h"
#include "resource.h"

namespace zam {

void StopPlayback(EditorState& editor) {
  KillTimer(editor.window, kPlaybackTimerId);
  SetDlgItemTextA(editor.window, IDC_PLAY, msg::kPlayCaption);
  StopPlayHead(editor.playHead);
}

}  // namespace zam
