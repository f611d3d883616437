#pragma once
// Acts on a modal dialog of the program from inside its own message loop:
// a thread timer looks for the dialog by its caption and runs the next
// queued action on each new one. A dialog that no action expects, or that
// its action left open, is closed and counted, so a failing test cannot
// hang in a modal loop.

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

namespace zam::test {

class DialogDriver {
 public:
  explicit DialogDriver(std::string caption);
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  void Then(std::function<void(HWND dialog)> action) { actions_.push_back(std::move(action)); }

  int unexpected() const { return unexpected_; }
  size_t pending() const { return actions_.size(); }

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
  void Tick();

  std::string caption_;
  std::deque<std::function<void(HWND)>> actions_;
  UINT_PTR timer_ = 0;
  HWND last_ = nullptr;
  int lastSeen_ = 0;  // ticks the last dialog acted on has stayed open
  int unexpected_ = 0;
};

// Clicks a button of a dialog as the mouse would.
void ClickButton(HWND dialog, int id);

// Dispatches messages for `milliseconds`, so that the dialog's own timer runs.
void PumpFor(DWORD milliseconds);

}  // namespace zam::test
