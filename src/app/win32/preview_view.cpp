#include "app/win32/preview_view.h"

#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "resource.h"

namespace zam {
namespace {

SIZE ClientSize(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return {rect.right, rect.bottom};
}

void SetupScene(EditorState& editor) {
  SIZE main = ClientSize(editor.Control(IDC_PREVIEW));
  editor.renderer.SetupScene(editor.previewDevice.device(), editor.previewDevice.width(),
                             editor.previewDevice.height(), main.cx, main.cy);
}

}  // namespace

void InitPreview(EditorState& editor) {
  SIZE size = ClientSize(editor.Control(IDC_PREVIEW));
  editor.previewDevice.Register(&editor.renderer);
  switch (editor.previewDevice.Create(editor.instance, size.cx, size.cy)) {
    case PreviewDevice::CreateResult::Created:
      SetupScene(editor);
      break;
    case PreviewDevice::CreateResult::NoDevice:
      ShowMessage(editor.window, msg::kFailedToInitializeDirect3D, MB_OK);
      break;
    case PreviewDevice::CreateResult::NoDirect3D:
      break;
  }
}

void ResetPreview(EditorState& editor, HWND area) {
  SIZE size = ClientSize(area);
  editor.previewDevice.Reset(size.cx, size.cy);
  if (editor.previewDevice.device() && !editor.previewDevice.busy()) SetupScene(editor);
}

void ReleasePreview(EditorState& editor) { editor.previewDevice.Release(); }

void RenderPreview(EditorState& editor) {
  RenderPreviewInto(editor, editor.Control(IDC_PREVIEW), editor.package, editor.currentAnimation);
}

void RenderPreviewInto(EditorState& editor, HWND area, const AnimPackage& package, int animation) {
  PreviewFrameInput input{package,          animation,        editor.playHead.currentTime,
                          editor.settings.preview, editor.camera, editor.character,
                          editor.weapon};
  editor.renderer.Render(editor.previewDevice, area, input);
}

bool OtherProgramWindowInFront(const EditorState& editor) {
  HWND front = GetForegroundWindow();
  return front != editor.window && front && GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId();
}

}  // namespace zam
