#include "app/win32/check_package_dialog.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/list_view.h"
#include "resource.h"

namespace zam {
namespace {

// A damaged package can break a rule on every one of a million tracks; the
// list stays quick to fill with the first of them.
constexpr size_t kMostRows = 5000;

struct DialogState {
  const AnimPackage& package;
  const std::vector<CheckFinding>& findings;
  const std::function<void(int, int)>& show;
};

std::string AnimationCell(const AnimPackage& package, const CheckFinding& finding) {
  const Animation* animation = AnimationAt(package, finding.animation);
  return animation ? NameText(animation->name) : "(package)";
}

std::string TrackCell(const AnimPackage& package, const CheckFinding& finding) {
  const Animation* animation = AnimationAt(package, finding.animation);
  if (!animation || finding.track < 0 || finding.track >= animation->boneCount()) return "";
  return NameText(animation->bones[static_cast<size_t>(finding.track)].name);
}

void Fill(HWND dialog, const DialogState& state) {
  HWND list = GetDlgItem(dialog, IDC_CHECK_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  list::InsertColumn(list, 0, "Animation", 120, LVCFMT_LEFT);
  list::InsertColumn(list, 1, "Track", 120, LVCFMT_LEFT);
  list::InsertColumn(list, 2, "Key", 40, LVCFMT_RIGHT);
  list::InsertColumn(list, 3, "Finding", 460, LVCFMT_LEFT);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  const size_t shown = state.findings.size() < kMostRows ? state.findings.size() : kMostRows;
  for (size_t i = 0; i < shown; ++i) {
    const CheckFinding& finding = state.findings[i];
    int row = list::AppendRow(list, AnimationCell(state.package, finding));
    list::SetCell(list, row, 1, TrackCell(state.package, finding));
    list::SetCell(list, row, 2, finding.key >= 0 ? std::to_string(finding.key + 1) : "");
    list::SetCell(list, row, 3, finding.what);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  std::string summary = state.findings.empty()
                            ? "The package breaks none of the game's rules that are checked."
                            : std::to_string(state.findings.size()) +
                                  (state.findings.size() == 1 ? " finding" : " findings") +
                                  ". Double-click one to show its animation and track.";
  if (shown < state.findings.size()) summary += " The first " + std::to_string(shown) + " are listed.";
  SetDlgItemTextA(dialog, IDC_CHECK_SUMMARY, summary.c_str());
}

INT_PTR CALLBACK CheckPackageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      Fill(dialog, *reinterpret_cast<DialogState*>(lParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom != IDC_CHECK_LIST || header->code != NM_DBLCLK) return FALSE;
      const auto* state = reinterpret_cast<const DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
      const int row = reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
      if (row >= 0 && static_cast<size_t>(row) < state->findings.size()) {
        const CheckFinding& finding = state->findings[static_cast<size_t>(row)];
        state->show(finding.animation, finding.track);
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) EndDialog(dialog, 0);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void RunCheckPackageDialog(HWND owner, const AnimPackage& package, const std::vector<CheckFinding>& findings,
                           const std::function<void(int animation, int track)>& show) {
  DialogState state{package, findings, show};
  DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                  MAKEINTRESOURCEW(IDD_CHECK_PACKAGE), owner, CheckPackageProc, reinterpret_cast<LPARAM>(&state));
}

}  // namespace zam
