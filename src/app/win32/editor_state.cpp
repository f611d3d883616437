#include "app/win32/editor_state.h"

#include <memory>

namespace zam {
namespace {
std::unique_ptr<EditorState> editor;
}

EditorState& Editor() { return *editor; }
bool HasEditor() { return editor != nullptr; }

void CreateEditor(HWND window, HINSTANCE instance) {
  editor = std::make_unique<EditorState>();
  editor->window = window;
  editor->instance = instance;
}

void DestroyEditor() { editor.reset(); }

HWND Control(int id) { return GetDlgItem(editor->window, id); }

}  // namespace zam
