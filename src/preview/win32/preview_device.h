#pragma once
// The one Direct3D 9 device of the preview: created, reset, lost and
// released here, and nowhere else. Frames are drawn into an off-screen
// target and shown in a window by reading them back and painting them with
// GDI, so they are visible wherever GDI is (Direct3D content presented into a
// child window is not, under Wine's X11 driver). The device belongs to a
// hidden window of its own.

#include <windows.h>
#include <d3d9.h>

#include <vector>

#include "platform/win32/unique_objects.h"

namespace zam {

// Something that holds objects of the device. Default-pool objects go
// before every reset and come back after it; when the device itself is
// recreated every object goes and comes back.
class DeviceObjects {
 public:
  virtual ~DeviceObjects() = default;
  virtual void ReleaseDeviceObjects(bool everything) = 0;
  virtual void RestoreDeviceObjects(IDirect3DDevice9* device, bool everything) = 0;
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
  // then with software processing.
  CreateResult Create(HINSTANCE instance, int width, int height);
  // Frames of width x height from now on. A reset that fails recreates the device.
  void Reset(int width, int height);
  // Releases every object of the device, the device and Direct3D; harmless twice.
  void Release();

  // The objects registered are released and restored with the device.
  void Register(DeviceObjects* objects);

  // Starts a frame: false when no frame can be drawn now (no device, a
  // reset in progress, a device lost and not yet back). A lost device is
  // reset here as soon as it can be. Clears the target and depth.
  bool BeginFrame(D3DCOLOR background);
  // Ends the frame's scene and shows it, scaled, in `window`'s client area.
  void EndFrame(HWND window);

  IDirect3DDevice9* device() const { return device_.get(); }
  bool busy() const { return busy_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  bool CreateDevice();
  bool CreateTargets();
  void ReleaseTargets();
  void Restore(bool everything);
  D3DPRESENT_PARAMETERS PresentParameters() const;

  win32::UniqueWindow window_;
  win32::ComPtr<IDirect3D9> direct3d_;
  win32::ComPtr<IDirect3DDevice9> device_;
  win32::ComPtr<IDirect3DSurface9> target_;    // what frames are drawn into
  win32::ComPtr<IDirect3DSurface9> depth_;
  win32::ComPtr<IDirect3DSurface9> readBack_;  // the target copied to system memory
  std::vector<DeviceObjects*> objects_;
  int width_ = 1;
  int height_ = 1;
  bool busy_ = true;  // no frame may be drawn: no device yet, a reset, a frame being drawn
};

}  // namespace zam
