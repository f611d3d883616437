#pragma once
// The progress of a long task that runs on the window's thread (rebuilding
// an archive): a small dialog with a bar and a Cancel button over the owner,
// which is disabled meanwhile. The task reports through Update, which also
// lets the dialog paint and take its button (and Esc).

#include <windows.h>

#include <cstdint>
#include <string>

namespace zam {

class ProgressDialog {
 public:
  ProgressDialog(HWND owner, const std::wstring& text);
  ~ProgressDialog();
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;

  // Moves the bar to `done` of `total`; false once the user cancelled.
  bool Update(uint64_t done, uint64_t total);
  HWND window() const { return dialog_; }

 private:
  HWND owner_;
  HWND dialog_ = nullptr;
  bool cancelled_ = false;
  int shown_ = -1;        // the bar's position, in thousandths
  DWORD lastPumped_ = 0;  // when the messages were last handled
};

}  // namespace zam
