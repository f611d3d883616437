#include "anim/win32/remove_trans_key_dialog.h"

#include <commctrl.h>

#include <cstdlib>

#include "anim/package_edits.h"
#include "resource.h"
#include "views/win32/list_view.h"

namespace zam {
namespace {

struct DialogInput {
  AnimPackage& package;
  const std::vector<int>& selected;
};

void Fill(HWND dialog, const DialogInput& input) {
  HWND list = GetDlgItem(dialog, IDC_REMOVE_TRANS_LIST);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
               LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  list::InsertColumn(list, 0, "Bone", 111 - GetSystemMetrics(SM_CXVSCROLL), LVCFMT_LEFT);
  list::InsertColumn(list, 1, "B#", 40, LVCFMT_RIGHT);
  list::InsertColumn(list, 2, "KR", 35, LVCFMT_RIGHT);
  list::InsertColumn(list, 3, "KRT", 35, LVCFMT_RIGHT);
  for (const BoneIdTally& tally : TallyBoneIds(input.package, input.selected)) {
    int row = list::AppendRow(list, tally.name);
    list::SetCell(list, row, 1, std::to_string(tally.boneId));
    list::SetCell(list, row, 2, std::to_string(tally.kr00Count));
    list::SetCell(list, row, 3, std::to_string(tally.krt0Count));
    list::SetChecked(list, row, tally.ticked);
  }
}

void Apply(HWND dialog, const DialogInput& input) {
  HWND list = GetDlgItem(dialog, IDC_REMOVE_TRANS_LIST);
  std::vector<int32_t> boneIds;
  for (int row = 0; row < list::RowCount(list); ++row) {
    if (list::IsChecked(list, row)) boneIds.push_back(std::atoi(list::Cell(list, row, 1, 15).c_str()));
  }
  RemoveTranslationKeys(input.package, input.selected, boneIds);
}

INT_PTR CALLBACK RemoveTransKeyProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dialog, DWLP_USER, lParam);
      Fill(dialog, *reinterpret_cast<const DialogInput*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        Apply(dialog, *reinterpret_cast<const DialogInput*>(GetWindowLongPtrA(dialog, DWLP_USER)));
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

INT_PTR RunRemoveTransKeyDialog(HWND owner, AnimPackage& package, const std::vector<int>& selected) {
  DialogInput input{package, selected};
  return DialogBoxParamA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE)),
                         MAKEINTRESOURCEA(IDD_REMOVE_TRANS_KEY), owner, RemoveTransKeyProc,
                         reinterpret_cast<LPARAM>(&input));
}

}  // namespace zam
