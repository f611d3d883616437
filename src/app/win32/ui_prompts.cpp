#include "app/win32/ui_prompts.h"

#include "app/document.h"
#include "base/messages.h"

namespace zam {
namespace {

class SystemPrompts final : public UiPrompts {
 public:
  int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) override {
    return ::MessageBoxA(owner, text, caption, type);
  }
  BOOL GetOpenFileNameA(OPENFILENAMEA* dialog) override { return ::GetOpenFileNameA(dialog); }
  BOOL GetSaveFileNameA(OPENFILENAMEA* dialog) override { return ::GetSaveFileNameA(dialog); }
  BOOL ChooseColorA(CHOOSECOLORA* dialog) override { return ::ChooseColorA(dialog); }
};

SystemPrompts systemPrompts;
UiPrompts* current = &systemPrompts;

}  // namespace

UiPrompts& Prompts() { return *current; }

void SetPrompts(UiPrompts* prompts) { current = prompts ? prompts : &systemPrompts; }

int ShowMessage(HWND owner, const char* text, UINT type) {
  return Prompts().MessageBoxA(owner, text, msg::kCaption, type);
}

OPENFILENAMEA FileDialogSettings(HWND owner, const char* filter, char* path, DWORD flags) {
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path;
  dialog.nMaxFile = static_cast<DWORD>(kMaxPathBytes);
  dialog.Flags = flags;
  return dialog;
}

}  // namespace zam
