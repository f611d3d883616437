#pragma once
// Small helpers over report-mode list views with 8-bit texts (names stored
// in files, shown through the system's code page), for every window module.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace zam::list {

void InsertColumn(HWND list, int column, const char* header, int width, int format);
// Appends a row whose first column reads `text`; returns its index.
int AppendRow(HWND list, const std::string& text);
// Inserts a row at `row` whose first column reads `text`.
void InsertRow(HWND list, int row, const std::string& text);
void SetCell(HWND list, int row, int column, const std::string& text);
std::string Cell(HWND list, int row, int column, int maxChars);
int RowCount(HWND list);
int SelectedCount(HWND list);
// The first selected row after `after` (-1: from the start), or -1.
int NextSelected(HWND list, int after);
std::vector<int> SelectedRows(HWND list);
// The row with the keyboard focus, or -1.
int FocusedRow(HWND list);

// Check boxes (LVS_EX_CHECKBOXES): every state but "unchecked" counts as
// checked.
void SetChecked(HWND list, int row, bool checked);
bool IsChecked(HWND list, int row);

HWND Header(HWND list);
// Column widths are fixed: true for the header's notifications that begin
// dragging a divider or report a double click on one, which are refused.
bool IsRefusedHeaderNotification(HWND list, LPARAM notification);

}  // namespace zam::list
