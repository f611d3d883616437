#include "dialog_driver.h"

namespace zam::test {
namespace {

DialogDriver* active = nullptr;
constexpr int kStuckTicks = 100;  // 2 s at 20 ms a tick

}  // namespace

DialogDriver::DialogDriver(std::string caption) : caption_(std::move(caption)) {
  active = this;
  timer_ = SetTimer(nullptr, 0, 20, OnTimer);
}

DialogDriver::~DialogDriver() {
  KillTimer(nullptr, timer_);
  active = nullptr;
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (active) active->Tick();
}

void DialogDriver::Tick() {
  HWND dialog = FindWindowA(nullptr, caption_.c_str());
  if (!dialog || !IsWindowVisible(dialog)) return;
  if (dialog == last_) {
    // Its action should have ended it.
    if (++lastSeen_ == kStuckTicks) {
      ++unexpected_;
      PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
    return;
  }
  last_ = dialog;
  lastSeen_ = 0;
  if (actions_.empty()) {
    ++unexpected_;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    return;
  }
  std::function<void(HWND)> action = std::move(actions_.front());
  actions_.pop_front();
  // No tick may re-enter while the action pumps messages itself.
  KillTimer(nullptr, timer_);
  action(dialog);
  timer_ = SetTimer(nullptr, 0, 20, OnTimer);
}

void ClickButton(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PumpFor(DWORD milliseconds) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  }
}

}  // namespace zam::test
