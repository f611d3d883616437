#include "platform/win32/list_view.h"

namespace zam::list {

void InsertColumn(HWND list, int column, const char* header, int width, int format) {
  LVCOLUMNA col{};
  col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  col.fmt = format;
  col.cx = width;
  col.pszText = const_cast<char*>(header);
  col.iSubItem = column;
  SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col));
}

int AppendRow(HWND list, const std::string& text) {
  int row = RowCount(list);
  InsertRow(list, row, text);
  return row;
}

void InsertRow(HWND list, int row, const std::string& text) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SetCell(HWND list, int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

std::string Cell(HWND list, int row, int column, int maxChars) {
  std::string text(static_cast<size_t>(maxChars) + 1, '\0');
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = maxChars + 1;
  SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  text.resize(std::char_traits<char>::length(text.c_str()));
  return text;
}

int RowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

int SelectedCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0)); }

int NextSelected(HWND list, int after) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
}

std::vector<int> SelectedRows(HWND list) {
  std::vector<int> rows;
  for (int row = NextSelected(list, -1); row >= 0; row = NextSelected(list, row)) rows.push_back(row);
  return rows;
}

int FocusedRow(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

void SetChecked(HWND list, int row, bool checked) {
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
  SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

bool IsChecked(HWND list, int row) {
  UINT state = static_cast<UINT>(SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  return (state & LVIS_STATEIMAGEMASK) != INDEXTOSTATEIMAGEMASK(1);
}

HWND Header(HWND list) { return reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)); }

bool IsRefusedHeaderNotification(HWND list, LPARAM notification) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(notification);
  if (header->hwndFrom != Header(list)) return false;
  switch (header->code) {
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW:
      return true;
    default:
      return false;
  }
}

}  // namespace zam::list
