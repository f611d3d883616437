#include "preview/win32/preview_device.h"

#include <algorithm>

namespace zam {
namespace {

constexpr char kDeviceWindowClass[] = "ZamPreviewDevice";

HWND CreateDeviceWindow(HINSTANCE instance, int width, int height) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kDeviceWindowClass;
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  // Never shown: it only gives the device a window of its own.
  return CreateWindowExA(0, kDeviceWindowClass, "", WS_POPUP, 0, 0, width, height, nullptr, nullptr, instance,
                         nullptr);
}

// Direct3D is loaded when the first device is made, not with the program:
// its libraries (under Wine also those of OpenGL) would delay every start.
// It stays loaded for the rest of the run.
decltype(&Direct3DCreate9) LoadDirect3DCreate9() {
  static HMODULE library = LoadLibraryW(L"d3d9.dll");
  if (!library) return nullptr;
  // Through the generic function type, which any function's may be cast to.
  return reinterpret_cast<decltype(&Direct3DCreate9)>(
      reinterpret_cast<void (*)()>(GetProcAddress(library, "Direct3DCreate9")));
}

}  // namespace

D3DPRESENT_PARAMETERS PreviewDevice::PresentParameters() const {
  D3DPRESENT_PARAMETERS parameters{};
  parameters.BackBufferWidth = static_cast<UINT>(width_);
  parameters.BackBufferHeight = static_cast<UINT>(height_);
  parameters.BackBufferFormat = D3DFMT_UNKNOWN;
  parameters.BackBufferCount = 1;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.hDeviceWindow = window_.get();
  parameters.Windowed = TRUE;
  parameters.EnableAutoDepthStencil = TRUE;
  parameters.AutoDepthStencilFormat = D3DFMT_D16;
  parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
  return parameters;
}

PreviewDevice::CreateResult PreviewDevice::Create(HINSTANCE instance, int width, int height) {
  Release();
  width_ = wantedWidth_ = std::max(width, 1);
  height_ = wantedHeight_ = std::max(height, 1);
  direct3d_.reset();
  const auto create = LoadDirect3DCreate9();
  if (create) *direct3d_.put() = create(D3D_SDK_VERSION);
  if (!direct3d_) return CreateResult::NoDirect3D;
  window_.reset(CreateDeviceWindow(instance, width_, height_));
  if (!window_ || !CreateDevice() || !CreateTargets()) {
    device_.reset();
    return CreateResult::NoDevice;
  }
  Restore(true);
  busy_ = false;
  return CreateResult::Created;
}

bool PreviewDevice::CreateDevice() {
  D3DCAPS9 caps{};
  // The character is skinned on the CPU; the preferred processing still
  // follows the adapter's vertex blending, as the device would use it.
  DWORD preferred = SUCCEEDED(direct3d_->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps)) &&
                            caps.MaxVertexBlendMatrixIndex >= 4
                        ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                        : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
  const struct {
    D3DDEVTYPE type;
    DWORD processing;
  } attempts[] = {{D3DDEVTYPE_HAL, preferred},
                  {D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING},
                  {D3DDEVTYPE_REF, preferred},
                  {D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING}};
  for (const auto& attempt : attempts) {
    D3DPRESENT_PARAMETERS parameters = PresentParameters();
    // The program's own arithmetic keeps its precision.
    if (SUCCEEDED(direct3d_->CreateDevice(D3DADAPTER_DEFAULT, attempt.type, window_.get(),
                                          attempt.processing | D3DCREATE_FPU_PRESERVE, &parameters,
                                          device_.put()))) {
      return true;
    }
  }
  return false;
}

bool PreviewDevice::CreateTargets() {
  const UINT w = static_cast<UINT>(width_), h = static_cast<UINT>(height_);
  // A target with alpha, which GDI ignores, where the device has one: Wine
  // copies it to system memory as it is, while a target without alpha has
  // every pixel converted on the way (about six times as long).
  D3DFORMAT format = D3DFMT_UNKNOWN;
  for (D3DFORMAT candidate : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8}) {
    if (SUCCEEDED(device_->CreateRenderTarget(w, h, candidate, D3DMULTISAMPLE_NONE, 0, FALSE, target_.put(),
                                              nullptr))) {
      format = candidate;
      break;
    }
  }
  if (format == D3DFMT_UNKNOWN ||
      FAILED(device_->CreateDepthStencilSurface(w, h, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, TRUE, depth_.put(),
                                                nullptr)) ||
      FAILED(device_->CreateOffscreenPlainSurface(w, h, format, D3DPOOL_SYSTEMMEM, readBack_.put(), nullptr))) {
    ReleaseTargets();
    return false;
  }
  device_->SetRenderTarget(0, target_.get());
  device_->SetDepthStencilSurface(depth_.get());
  return true;
}

void PreviewDevice::ReleaseTargets() {
  target_.reset();
  depth_.reset();
  readBack_.reset();
}

void PreviewDevice::Register(DeviceObjects* objects) { objects_.push_back(objects); }

void PreviewDevice::Restore(bool everything) {
  for (DeviceObjects* objects : objects_) objects->RestoreDeviceObjects(device_.get(), width_, height_, everything);
}

void PreviewDevice::Resize(int width, int height) {
  wantedWidth_ = std::max(width, 1);
  wantedHeight_ = std::max(height, 1);
}

void PreviewDevice::Reset() {
  if (!device_) return;
  busy_ = true;
  width_ = wantedWidth_;
  height_ = wantedHeight_;
  ReleaseTargets();
  for (DeviceObjects* objects : objects_) objects->ReleaseDeviceObjects(false);
  D3DPRESENT_PARAMETERS parameters = PresentParameters();
  bool everything = false;
  if (FAILED(device_->Reset(&parameters))) {
    // The device is of no use as the failed reset left it: a new one is
    // made, and everything of the old one is made again on it.
    for (DeviceObjects* objects : objects_) objects->ReleaseDeviceObjects(true);
    device_.reset();
    everything = true;
    if (!CreateDevice()) return;  // stays busy: no preview from now on
  }
  if (!CreateTargets()) return;
  Restore(everything);
  busy_ = false;
}

void PreviewDevice::Release() {
  busy_ = true;
  for (DeviceObjects* objects : objects_) objects->ReleaseDeviceObjects(true);
  ReleaseTargets();
  device_.reset();
  direct3d_.reset();
  window_.reset();
}

bool PreviewDevice::BeginFrame(D3DCOLOR background) {
  if (!device_ || busy_) return false;
  HRESULT level = device_->TestCooperativeLevel();
  if (level == D3DERR_DEVICELOST) return false;  // not yet back; drawing resumes once it can be reset
  if (level == D3DERR_DEVICENOTRESET || width_ != wantedWidth_ || height_ != wantedHeight_) {
    Reset();
    if (busy_) return false;
  }
  busy_ = true;
  device_->SetRenderTarget(0, target_.get());
  device_->SetDepthStencilSurface(depth_.get());
  device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
  if (FAILED(device_->BeginScene())) {
    busy_ = false;  // this frame is lost, not every later one
    return false;
  }
  return true;
}

void PreviewDevice::Show(HWND window, const void* pixels, int pixelWidth, int width, int height) const {
  BITMAPINFO bitmap{};
  bitmap.bmiHeader.biSize = sizeof bitmap.bmiHeader;
  bitmap.bmiHeader.biWidth = pixelWidth;
  bitmap.bmiHeader.biHeight = -height;  // rows top down, as the surface holds them
  bitmap.bmiHeader.biPlanes = 1;
  bitmap.bmiHeader.biBitCount = 32;
  bitmap.bmiHeader.biCompression = BI_RGB;
  RECT client{};
  GetClientRect(window, &client);
  if (HDC dc = GetDC(window)) {
    if (client.right == width && client.bottom == height) {
      // As large as the area, as frames are but while a resize is pending: no scaling to set up.
      SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                        static_cast<UINT>(height), pixels, &bitmap, DIB_RGB_COLORS);
    } else {
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, width, height, pixels, &bitmap, DIB_RGB_COLORS,
                    SRCCOPY);
    }
    ReleaseDC(window, dc);
  }
}

void PreviewDevice::EndFrame(HWND window) {
  device_->EndScene();
  D3DLOCKED_RECT locked{};
  if (SUCCEEDED(device_->GetRenderTargetData(target_.get(), readBack_.get())) &&
      SUCCEEDED(readBack_->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    const int pixelWidth = locked.Pitch / 4;
    Show(window, locked.pBits, pixelWidth, width_, height_);
    if (window == keptWindow_) {
      const auto* pixels = static_cast<const uint32_t*>(locked.pBits);
      keptPixels_.assign(pixels, pixels + static_cast<size_t>(pixelWidth) * static_cast<size_t>(height_));
      keptWidth_ = width_;
      keptHeight_ = height_;
    }
    readBack_->UnlockRect();
  }
  busy_ = false;
}

bool PreviewDevice::PaintKeptFrame(HWND window) const {
  if (keptPixels_.empty()) return false;
  Show(window, keptPixels_.data(), static_cast<int>(keptPixels_.size()) / keptHeight_, keptWidth_, keptHeight_);
  return true;
}

}  // namespace zam
