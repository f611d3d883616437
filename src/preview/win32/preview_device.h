#pragma once
// The one Direct3D 9 device of the preview: created, reset, lost and
// released here, and nowhere else. Frames are drawn into an off-screen
// target and shown in a window by reading them back and painting them with
// GDI, so they are visible wherever GDI is (Direct3D content presented into a
// child window is not, under Wine's X11 driver). The device belongs to a
// hidden window of its own.

#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "platform/win32/unique_objects.h"

namespace zam {

// Something that holds objects of the device or relies on its state.
// Default-pool objects go before every reset and come back after it, with
// the transforms and render states a reset forgets; when the device itself
// is made (again) every object goes and comes back.
class DeviceObjects {
 public:
  virtual ~DeviceObjects() = default;
  virtual void ReleaseDeviceObjects(bool everything) = 0;
  // Frames are `width` x `height` pixels from now on.
  virtual void RestoreDeviceObjects(IDirect3DDevice9* device, int width, int height, bool everything) = 0;
};

class PreviewDevice {
 public:
  enum class CreateResult { Created, NoDirect3D, NoDevice };

  PreviewDevice() = default;
  ~PreviewDevice() { Release(); }
  PreviewDevice(const PreviewDevice&) = delete;
  PreviewDevice& operator=(const PreviewDevice&) = delete;

  // Direct3D and the device for frames of width x height pixels: HAL, then
  // the reference rasteriser, each with the preferred vertex processing and
  // then with software processing. The registered objects are restored on it.
  CreateResult Create(HINSTANCE instance, int width, int height);
  // Frames of width x height from the next frame on, which resets the
  // device once for the new size.
  void Resize(int width, int height);
  // Resets the device now: every registered object is released and restored.
  // A reset that fails recreates the device.
  void Reset();
  // Releases every object of the device, the device and Direct3D; harmless twice.
  void Release();

  // The objects registered are released and restored with the device.
  void Register(DeviceObjects* objects);

  // Starts a frame: false when no frame can be drawn now (no device, a
  // reset in progress, a device lost and not yet back). A lost device, or
  // one of another size than asked for, is reset here first. Clears the
  // target and depth.
  bool BeginFrame(D3DCOLOR background);
  // Ends the frame's scene and shows it, scaled, in `window`'s client area.
  void EndFrame(HWND window);

  // Frames shown in `window` are kept, so it can be painted again while
  // the device draws for another window.
  void KeepFramesOf(HWND window) { keptWindow_ = window; }
  // Paints the last frame kept into `window`'s client area; false when there is none.
  bool PaintKeptFrame(HWND window) const;

  IDirect3DDevice9* device() const { return device_.get(); }
  bool busy() const { return busy_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  bool CreateDevice();
  bool CreateTargets();
  void ReleaseTargets();
  void Restore(bool everything);
  void Show(HWND window, const void* pixels, int pixelWidth, int width, int height) const;
  D3DPRESENT_PARAMETERS PresentParameters() const;

  win32::UniqueWindow window_;
  win32::ComPtr<IDirect3D9> direct3d_;
  win32::ComPtr<IDirect3DDevice9> device_;
  win32::ComPtr<IDirect3DSurface9> target_;    // what frames are drawn into
  win32::ComPtr<IDirect3DSurface9> depth_;
  win32::ComPtr<IDirect3DSurface9> readBack_;  // the target copied to system memory
  std::vector<DeviceObjects*> objects_;
  int width_ = 1;  // of the frames the device draws now
  int height_ = 1;
  int wantedWidth_ = 1;  // of the frames asked for
  int wantedHeight_ = 1;
  HWND keptWindow_ = nullptr;
  std::vector<uint32_t> keptPixels_;  // the last frame shown in keptWindow_, rows top down
  int keptWidth_ = 0;
  int keptHeight_ = 0;
  bool busy_ = true;  // no frame may be drawn: no device yet, a reset, a frame being drawn
};

}  // namespace zam
