#include "app/win32/playback_controls.h"

#include <commctrl.h>

#include <string>

#include "app/win32/preview_view.h"
#include "base/messages.h"
#include "preview/camera.h"
#include "resource.h"

namespace zam {
namespace {

void ArmTimer(const EditorState& editor) { SetTimer(editor.window, kPlaybackTimerId, 0, nullptr); }

void ShowFrame(const EditorState& editor) {
  int frame = PlayHeadFrame(editor.playHead);
  SetDlgItemTextA(editor.window, IDC_CURRENT_FRAME, std::to_string(frame).c_str());
  SendDlgItemMessageA(editor.window, IDC_TIME_BAR, TBM_SETPOS, TRUE, frame);
}

float CurrentLength(const EditorState& editor) {
  return CurrentAnimationLength(editor.package, editor.currentAnimation);
}

}  // namespace

void StopPlayback(EditorState& editor) {
  KillTimer(editor.window, kPlaybackTimerId);
  SetDlgItemTextA(editor.window, IDC_PLAY, msg::kPlayCaption);
  StopPlayHead(editor.playHead);
}

bool IsPlaying(const EditorState& editor) {
  char caption[8] = {};
  GetDlgItemTextA(editor.window, IDC_PLAY, caption, sizeof caption);
  return caption[1] != '>';
}

void TogglePlayback(EditorState& editor) {
  if (IsPlaying(editor)) {
    StopPlayback(editor);
    return;
  }
  // The play head and the last tick stay: the first tick advances by nothing.
  ArmTimer(editor);
  SetDlgItemTextA(editor.window, IDC_PLAY, msg::kPauseCaption);
}

void ShowPlayHead(EditorState& editor) {
  ShowFrame(editor);
  RenderPreview(editor);
}

void OnFrameButton(EditorState& editor, int buttonId) {
  StopPlayback(editor);
  PlayHead& head = editor.playHead;
  switch (buttonId) {
    case IDC_GO_START:
      RewindPlayHead(head);
      break;
    case IDC_STEP_BACK:
      StepPlayHeadBack(head);
      break;
    case IDC_STEP_FORWARD:
      StepPlayHeadForward(head, CurrentLength(editor));
      break;
    case IDC_GO_END:
      JumpPlayHeadToEnd(head, CurrentLength(editor));
      break;
    default:
      break;
  }
  ShowPlayHead(editor);
}

void OnPlaybackTimer(EditorState& editor) {
  if (PlaybackTick(editor.playHead, GetTickCount(), editor.package, editor.currentAnimation)) ShowFrame(editor);
  // The timer is armed anew at every tick, so a slow frame delays the next
  // tick instead of letting ticks queue up.
  if (!OtherProgramWindowInFront(editor)) RenderPreview(editor);
  ArmTimer(editor);
}

void OnTimeBarScroll(EditorState& editor) {
  HWND bar = editor.Control(IDC_TIME_BAR);
  if (GetFocus() != bar) return;
  SeekPlayHeadToFrame(editor.playHead, static_cast<int>(SendMessageA(bar, TBM_GETPOS, 0, 0)));
  SetDlgItemTextA(editor.window, IDC_CURRENT_FRAME, std::to_string(PlayHeadFrame(editor.playHead)).c_str());
  StopPlayback(editor);
  RenderPreview(editor);
}

void OnPreviewMouseMove(EditorState& editor, WPARAM buttons, LPARAM position) {
  const short x = static_cast<short>(LOWORD(position));
  const short y = static_cast<short>(HIWORD(position));
  POINT cursor;
  GetCursorPos(&cursor);
  HWND area = editor.Control(IDC_PREVIEW);
  ScreenToClient(area, &cursor);
  RECT client;
  GetClientRect(area, &client);
  bool inside = cursor.x >= 0 && cursor.y >= 0 && cursor.x <= client.right && cursor.y <= client.bottom;
  if (inside) {
    const int16_t dx = static_cast<int16_t>(x - editor.lastMouse.x);
    const int16_t dy = static_cast<int16_t>(y - editor.lastMouse.y);
    const bool left = (buttons & MK_LBUTTON) != 0, right = (buttons & MK_RBUTTON) != 0;
    if (right && !left) {
      RotateCamera(editor.camera, dx, dy);
      if (dx != 0 || dy != 0) RenderPreview(editor);
    } else if (right && left) {
      ZoomCamera(editor.camera, dy);
      if (dy != 0) RenderPreview(editor);
    }
  }
  editor.lastMouse = {x, y};
}

}  // namespace zam
