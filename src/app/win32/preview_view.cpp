#include "app/win32/preview_view.h"

#include "app/win32/ui_prompts.h"
#include "resource.h"

namespace zam {
namespace {

SIZE ClientSize(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return {rect.right, rect.bottom};
}

}  // namespace

void InitPreview(MainWindow& main) {
  HWND area = main.Control(IDC_PREVIEW);
  SIZE size = ClientSize(area);
  main.renderer.SetAspect(size.cx, size.cy);
  main.previewDevice.Register(&main.renderer);
  main.previewDevice.KeepFramesOf(area);
  switch (main.previewDevice.Create(main.instance, size.cx, size.cy)) {
    case PreviewDevice::CreateResult::Created:
    case PreviewDevice::CreateResult::NoDirect3D:
      break;
    case PreviewDevice::CreateResult::NoDevice:
      ShowMessage(main.window, Message::FailedToInitializeDirect3D);
      break;
  }
}

void FitPreviewToArea(MainWindow& main) {
  SIZE size = ClientSize(main.Control(IDC_PREVIEW));
  main.renderer.SetAspect(size.cx, size.cy);
  main.previewDevice.Resize(size.cx, size.cy);
}

void ReinitPreview(MainWindow& main) {
  FitPreviewToArea(main);
  main.previewDevice.Reset();
}

void ReleasePreview(MainWindow& main) { main.previewDevice.Release(); }

void UploadModel(MainWindow& main, ModelRole role) {
  IDirect3DDevice9* device = main.previewDevice.device();
  if (role == ModelRole::Character) {
    main.renderer.SetCharacter(device, &main.editor.character());
  } else {
    main.renderer.SetWeapon(device, &main.editor.weapon());
  }
}

void RenderPreview(MainWindow& main) {
  HWND area = main.Control(IDC_PREVIEW);
  if (main.previewLent) {
    main.previewDevice.PaintKeptFrame(area);
    return;
  }
  RenderPreviewInto(main, area, main.editor.package(), main.editor.currentAnimation());
}

void RenderPreviewInto(MainWindow& main, HWND area, const AnimPackage& package, int animation) {
  const Editor& editor = main.editor;
  PreviewFrameInput input{package,           animation,         editor.playHead().currentTime,
                          editor.settings().preview, editor.camera(), editor.character(),
                          editor.weapon()};
  main.renderer.Render(main.previewDevice, area, input);
}

bool OtherProgramWindowInFront(const MainWindow& main) {
  HWND front = GetForegroundWindow();
  return front != main.window && front && GetWindowThreadProcessId(front, nullptr) == GetCurrentThreadId();
}

}  // namespace zam
