#include "app/win32/main_keys.h"

#include <commctrl.h>

#include "app/win32/command_dispatcher.h"
#include "app/win32/edit_commands.h"
#include "app/win32/playback_controls.h"
#include "app/win32/undo_commands.h"
#include "resource.h"
#include "views/win32/list_view.h"

namespace zam {
namespace {

// The hook belongs to the thread, and has no other way to the window.
struct MainKeys {
  HWND window = nullptr;
  HACCEL table = nullptr;
  HHOOK hook = nullptr;
} keys;

bool IsEditBox(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, "Edit") == 0;
}

// Keys typed into an edit box are its own; keys of other windows of the
// program (its other dialogs, message boxes) are theirs. Left and Right move
// the play head only from the time bar or the preview.
bool IsMainWindowKey(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.hwnd != keys.window && !IsChild(keys.window, message.hwnd)) return false;
  HWND focus = GetFocus();
  if (IsEditBox(focus)) return false;
  if (message.wParam == VK_LEFT || message.wParam == VK_RIGHT) {
    return focus == GetDlgItem(keys.window, IDC_TIME_BAR) || focus == GetDlgItem(keys.window, IDC_PREVIEW);
  }
  return true;
}

LRESULT CALLBACK FilterKeys(int code, WPARAM wParam, LPARAM lParam) {
  MSG* message = reinterpret_cast<MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && IsMainWindowKey(*message) && TranslateAcceleratorA(keys.window, keys.table, message)) {
    return TRUE;
  }
  return CallNextHookEx(keys.hook, code, wParam, lParam);
}

// Ending the edit by taking its focus applies the typed name (the list
// treats every end of an edit alike).
void FinishLabelEdits(const EditorState& editor) {
  for (int id : {IDC_ANIMATION_LIST, IDC_BONE_LIST}) {
    HWND list = editor.Control(id);
    if (SendMessageA(list, LVM_GETEDITCONTROL, 0, 0)) SetFocus(list);
  }
}

void RenameFocusedRow(EditorState& editor, HWND focus) {
  bool bones = focus == editor.Control(IDC_BONE_LIST);
  if (focus != editor.Control(IDC_ANIMATION_LIST) && !(bones && editor.CurrentAnimation())) return;
  int row = list::FocusedRow(focus);
  if (row >= 0) SendMessageA(focus, LVM_EDITLABELA, row, 0);
}

// The keys' own commands and the menu's Undo and Redo; false for any other id.
bool RunKeyCommand(EditorState& editor, int commandId) {
  HWND focus = GetFocus();
  switch (commandId) {
    case ID_EDIT_UNDO:
      UndoCommand(editor);
      return true;
    case ID_EDIT_REDO:
      RedoCommand(editor);
      return true;
    case ID_KEY_DELETE:
      if (focus == editor.Control(IDC_ANIMATION_LIST)) DeleteAnimationsCommand(editor);
      if (focus == editor.Control(IDC_BONE_LIST)) DeleteBonesCommand(editor);
      return true;
    case ID_KEY_RENAME:
      RenameFocusedRow(editor, focus);
      return true;
    case ID_KEY_PLAY:
      TogglePlayback(editor);
      return true;
    case ID_KEY_FIRST_FRAME:
      OnFrameButton(editor, IDC_GO_START);
      return true;
    case ID_KEY_LAST_FRAME:
      OnFrameButton(editor, IDC_GO_END);
      return true;
    case ID_KEY_FRAME_BACK:
      OnFrameButton(editor, IDC_STEP_BACK);
      return true;
    case ID_KEY_FRAME_FORWARD:
      OnFrameButton(editor, IDC_STEP_FORWARD);
      return true;
    default:
      return false;
  }
}

}  // namespace

void InstallMainKeys(EditorState& editor) {
  keys.window = editor.window;
  keys.table = LoadAcceleratorsA(editor.instance, MAKEINTRESOURCEA(IDR_MAIN_KEYS));
  keys.hook = SetWindowsHookExA(WH_MSGFILTER, FilterKeys, nullptr, GetCurrentThreadId());
}

void RemoveMainKeys(HWND window) {
  if (keys.window != window) return;
  UnhookWindowsHookEx(keys.hook);
  keys = {};
}

void RunMenuCommand(EditorState& editor, int commandId) {
  FinishLabelEdits(editor);
  if (!RunKeyCommand(editor, commandId)) CommandDispatcher(editor, commandId);
}

void OnMainWindowClick(EditorState& editor, LPARAM position) {
  POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  HWND area = editor.Control(IDC_PREVIEW);
  MapWindowPoints(editor.window, area, &point, 1);
  RECT client;
  GetClientRect(area, &client);
  if (PtInRect(&client, point)) SetFocus(area);
}

}  // namespace zam
