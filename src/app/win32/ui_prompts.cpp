#include "app/win32/ui_prompts.h"

#include <cstdio>
#include <vector>

#include "app/document.h"
#include "platform/win32/wide_text.h"

namespace zam {
namespace {

class SystemPrompts final : public UiPrompts {
 public:
  int MessageBoxW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override {
    return ::MessageBoxW(owner, text, caption, type);
  }
  BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) override { return ::GetOpenFileNameW(dialog); }
  BOOL GetSaveFileNameW(OPENFILENAMEW* dialog) override { return ::GetSaveFileNameW(dialog); }
  BOOL ChooseColorW(CHOOSECOLORW* dialog) override { return ::ChooseColorW(dialog); }
};

SystemPrompts systemPrompts;
UiPrompts* current = &systemPrompts;

// Errors show the stop icon; a bad path, a file only partly read and a save
// that left something out the exclamation mark; the discard question its
// own buttons.
UINT StyleOf(Message message) {
  switch (message) {
    case Message::DiscardQuestion:
      return MB_OKCANCEL | MB_ICONQUESTION;
    case Message::ValuesClamped:
      return MB_OKCANCEL | MB_ICONEXCLAMATION;
    case Message::ReplaceEntryQuestion:
    case Message::DeleteEntryQuestion:
      return MB_YESNO | MB_ICONQUESTION;
    case Message::ArchivePending:
      return MB_OK | MB_ICONEXCLAMATION;
    case Message::InvalidPath:
    case Message::InvalidExtension:
    case Message::FileEndedEarly:
    case Message::FileDamaged:
    case Message::ScaleLeftOut:
      return MB_OK | MB_ICONEXCLAMATION;
    case Message::About:
      return MB_OK | MB_ICONINFORMATION;
    case Message::FailedToInitializeDirect3D:
      return MB_OK;
    default:
      return MB_OK | MB_ICONHAND;
  }
}

// A filter of description and pattern pairs, each ending in a zero, as the
// wide dialogs take it.
std::wstring WideFilter(const char* filter) {
  std::wstring wide;
  for (const char* part = filter; *part; part += std::char_traits<char>::length(part) + 1) {
    wide += WideFromUtf8(part);
    wide += L'\0';
  }
  return wide + L'\0';
}

// `extension`, added to a name without one, makes it a save dialog.
std::optional<std::string> RunFileDialog(HWND owner, const char* filter, DWORD flags, const wchar_t* extension,
                                         const std::string& folder) {
  std::vector<wchar_t> path(32768, L'\0');
  std::wstring wideFilter = WideFilter(filter);
  std::wstring wideFolder = WideFromUtf8(folder);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = wideFilter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.Flags = flags;
  if (!wideFolder.empty()) dialog.lpstrInitialDir = wideFolder.c_str();
  dialog.lpstrDefExt = extension;
  BOOL chosen = extension ? Prompts().GetSaveFileNameW(&dialog) : Prompts().GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return Utf8FromWide(path.data());
}

// The colour dialog orders its bytes 0x00BBGGRR.
uint32_t SwapRedAndBlue(uint32_t color) { return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF); }

}  // namespace

UiPrompts& Prompts() { return *current; }

void SetPrompts(UiPrompts* prompts) { current = prompts ? prompts : &systemPrompts; }

int ShowMessage(HWND owner, Message message, int number, const std::wstring& below) {
  char text[512];
  std::snprintf(text, sizeof text, "%s", MessageText(message));
  if (message == Message::FileEndedEarly || message == Message::FileDamaged || message == Message::ScaleLeftOut ||
      message == Message::ValuesClamped) {
    std::snprintf(text, sizeof text, MessageText(message), number);
  }
  std::wstring shown = WideFromUtf8(text);
  if (!below.empty()) shown += L"\n" + below;
  return Prompts().MessageBoxW(owner, shown.c_str(), WideFromUtf8(msg::kCaption).c_str(), StyleOf(message));
}

bool AgreesToLoseChanges(HWND owner) { return ShowMessage(owner, Message::DiscardQuestion) == IDOK; }

std::optional<std::string> ChooseFileToOpen(HWND owner, FileKind kind, const std::string& folder) {
  return RunFileDialog(owner, kind == FileKind::Package ? msg::kIfpFilter : msg::kDffFilter,
                       OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, nullptr, folder);
}

std::optional<std::string> ChooseFileToImport(HWND owner, const std::string& folder) {
  return RunFileDialog(owner, msg::kImportFilter, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, nullptr, folder);
}

std::optional<std::string> ChoosePackageToSave(HWND owner, const std::string& folder) {
  // Replacing someone's file without a word would lose it.
  return RunFileDialog(owner, msg::kIfpFilter, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, L"ifp", folder);
}

std::optional<std::string> ChooseGltfToSave(HWND owner, const std::string& folder) {
  return RunFileDialog(owner, msg::kGlbFilter, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, L"glb", folder);
}

std::optional<uint32_t> ChooseColor(HWND owner, uint32_t color) {
  COLORREF custom[16] = {};
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.rgbResult = SwapRedAndBlue(color & 0xFFFFFF);
  dialog.lpCustColors = custom;
  dialog.Flags = CC_RGBINIT;
  if (!Prompts().ChooseColorW(&dialog)) return std::nullopt;
  return SwapRedAndBlue(dialog.rgbResult & 0xFFFFFF);
}

}  // namespace zam
