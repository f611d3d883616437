#pragma once
// Owners of Win32 and COM objects: each object is released exactly once, when
// its owner goes away or is given another object, on every path.

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace zam::win32 {

template <typename Traits>
class UniqueObject {
 public:
  using Handle = typename Traits::Handle;

  UniqueObject() = default;
  explicit UniqueObject(Handle handle) : handle_(handle) {}
  ~UniqueObject() { reset(); }
  UniqueObject(UniqueObject&& other) noexcept : handle_(other.release()) {}
  UniqueObject& operator=(UniqueObject&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueObject(const UniqueObject&) = delete;
  UniqueObject& operator=(const UniqueObject&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::None(); }
  Handle release() { return std::exchange(handle_, Traits::None()); }
  void reset(Handle handle = Traits::None()) {
    Handle old = std::exchange(handle_, handle);
    if (old != Traits::None()) Traits::Close(old);
  }

 private:
  Handle handle_ = Traits::None();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle None() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { FindClose(handle); }
};

struct MenuTraits {
  using Handle = HMENU;
  static Handle None() { return nullptr; }
  static void Close(Handle menu) { DestroyMenu(menu); }
};

struct WindowTraits {
  using Handle = HWND;
  static Handle None() { return nullptr; }
  static void Close(Handle window) { DestroyWindow(window); }
};

template <typename GdiHandle>
struct GdiTraits {
  using Handle = GdiHandle;
  static Handle None() { return nullptr; }
  static void Close(Handle object) { DeleteObject(object); }
};

// A file or other kernel handle (CreateFile and the like: "none" is INVALID_HANDLE_VALUE).
using UniqueHandle = UniqueObject<KernelHandleTraits>;
using UniqueFindHandle = UniqueObject<FindHandleTraits>;
using UniqueMenu = UniqueObject<MenuTraits>;
using UniqueWindow = UniqueObject<WindowTraits>;
using UniquePen = UniqueObject<GdiTraits<HPEN>>;
using UniqueBrush = UniqueObject<GdiTraits<HBRUSH>>;
using UniqueBitmap = UniqueObject<GdiTraits<HBITMAP>>;

// Selects a GDI object into a device context for the life of this scope.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() { SelectObject(dc_, previous_); }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// One reference to a COM object (Direct3D objects among them).
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // For creation functions that hand out a new reference: releases the old one first.
  Interface** put() {
    reset();
    return &pointer_;
  }
  void reset() {
    if (Interface* old = std::exchange(pointer_, nullptr)) old->Release();
  }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace zam::win32
