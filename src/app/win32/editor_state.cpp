#include "app/win32/editor_state.h"

namespace zam {

EditorState* EditorOf(HWND window) { return reinterpret_cast<EditorState*>(GetWindowLongPtrA(window, DWLP_USER)); }

EditorState& CreateEditor(HWND window, HINSTANCE instance) {
  auto* editor = new EditorState;
  editor->window = window;
  editor->instance = instance;
  SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(editor));
  return *editor;
}

void DestroyEditor(HWND window) {
  delete EditorOf(window);
  SetWindowLongPtrA(window, DWLP_USER, 0);
}

}  // namespace zam
