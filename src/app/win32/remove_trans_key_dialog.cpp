#include "app/win32/remove_trans_key_dialog.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/list_view.h"
#include "resource.h"

namespace zam {
namespace {

struct DialogState {
  const std::vector<BoneIdTally>& rows;
  std::vector<int32_t> ticked;
};

void Fill(HWND dialog, const std::vector<BoneIdTally>& rows) {
  HWND list = GetDlgItem(dialog, IDC_REMOVE_TRANS_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  list::InsertColumn(list, 0, "Bone", 111 - GetSystemMetrics(SM_CXVSCROLL), LVCFMT_LEFT);
  list::InsertColumn(list, 1, "B#", 40, LVCFMT_RIGHT);
  list::InsertColumn(list, 2, "KR", 35, LVCFMT_RIGHT);
  list::InsertColumn(list, 3, "KRT", 35, LVCFMT_RIGHT);
  for (const BoneIdTally& tally : rows) {
    int row = list::AppendRow(list, tally.name);
    list::SetCell(list, row, 1, std::to_string(tally.boneId));
    list::SetCell(list, row, 2, std::to_string(tally.kr00Count));
    list::SetCell(list, row, 3, std::to_string(tally.krt0Count));
    list::SetChecked(list, row, tally.ticked);
  }
}

// The rows keep the order of the tallies, so a row's index names its bone id.
std::vector<int32_t> TickedBoneIds(HWND dialog, const std::vector<BoneIdTally>& rows) {
  HWND list = GetDlgItem(dialog, IDC_REMOVE_TRANS_LIST);
  std::vector<int32_t> ids;
  for (size_t row = 0; row < rows.size(); ++row) {
    if (list::IsChecked(list, static_cast<int>(row))) ids.push_back(rows[row].boneId);
  }
  return ids;
}

INT_PTR CALLBACK RemoveTransKeyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      Fill(dialog, reinterpret_cast<DialogState*>(lParam)->rows);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        state->ticked = TickedBoneIds(dialog, state->rows);
        EndDialog(dialog, 1);
      } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
      }
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

std::optional<std::vector<int32_t>> RunRemoveTransKeyDialog(HWND owner, const std::vector<BoneIdTally>& rows) {
  DialogState state{rows, {}};
  INT_PTR result = DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(owner, GWLP_HINSTANCE)),
                                   MAKEINTRESOURCEW(IDD_REMOVE_TRANS_KEY), owner, RemoveTransKeyProc,
                                   reinterpret_cast<LPARAM>(&state));
  if (result != 1) return std::nullopt;
  return std::move(state.ticked);
}

}  // namespace zam
