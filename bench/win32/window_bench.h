#pragma once
// What the Wine timing programs share: the clock, medians, and tree items
// found by their text and double-clicked.

#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zam::bench {

inline double Milliseconds() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The time `thread` spent on a processor, which a busy machine disturbs less.
inline double ThreadMilliseconds(HANDLE thread = GetCurrentThread()) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

inline double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times.empty() ? 0.0 : times[times.size() / 2];
}

inline HTREEITEM FindChild(HWND tree, HTREEITEM parent, const char* text) {
  for (HTREEITEM item = TreeView_GetChild(tree, parent); item; item = TreeView_GetNextSibling(tree, item)) {
    char buffer[260] = {};
    TVITEMA query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = buffer;
    query.cchTextMax = sizeof buffer;
    TreeView_GetItem(tree, &query);
    if (std::strcmp(buffer, text) == 0) return item;
  }
  return nullptr;
}

// Posted to the tree: its thread handles the clicks when it next reads messages.
inline void DoubleClick(HWND tree, HTREEITEM item) {
  TreeView_EnsureVisible(tree, item);
  RECT rect;
  std::memcpy(&rect, &item, sizeof item);
  SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
  LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    PostMessageA(tree, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
  }
}

}  // namespace zam::bench
