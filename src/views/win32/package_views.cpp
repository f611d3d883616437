#include "views/win32/package_views.h"

#include <algorithm>
#include <optional>

#include "platform/win32/list_view.h"
#include "platform/win32/wide_text.h"

namespace zam {
namespace {

// The edit box of a label edit in progress, kept on its list: it is read
// directly so the typed text applies however the edit ends (Enter, Escape,
// loss of focus).
constexpr char kLabelEditProperty[] = "zam.labelEdit";
constexpr UINT_PTR kHeaderSubclass = 1;
constexpr UINT_PTR kScrollBarSubclass = 2;

std::string Decimal(int value) { return std::to_string(value); }

LRESULT CALLBACK RefuseColumnResizing(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_NOTIFY && list::IsRefusedHeaderNotification(list, lParam)) return 1;
  return DefSubclassProc(list, message, wParam, lParam);
}

// The bone list scrolls only with the key grid, so it shows no scroll bars of
// its own: its frame is worked out without the bars the list asked for, so
// its rows take its whole height (hiding them after the frame was worked out
// left the height of a bar unused, and one row fewer than the key grid).
LRESULT CALLBACK HideScrollBars(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == WM_NCCALCSIZE) {
    LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    if (style & (WS_HSCROLL | WS_VSCROLL)) SetWindowLongPtrA(list, GWL_STYLE, style & ~(WS_HSCROLL | WS_VSCROLL));
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

void BeginLabelEdit(HWND list) {
  HWND edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETEDITCONTROL, 0, 0));
  SetPropA(list, kLabelEditProperty, edit);
  SendMessageA(edit, EM_LIMITTEXT, kMaxNameLength, 0);
}

std::string EndLabelEdit(HWND list) {
  HWND edit = static_cast<HWND>(RemovePropA(list, kLabelEditProperty));
  char text[32] = {};
  if (edit) GetWindowTextA(edit, text, sizeof text);
  std::string typed = text;
  typed.resize(std::min(typed.size(), kMaxNameLength));
  return typed;
}

}  // namespace

void SetupPackageLists(HWND animations, HWND bones) {
  list::InsertColumn(animations, 0, "Name", 122 - GetSystemMetrics(SM_CXVSCROLL), LVCFMT_LEFT);
  list::InsertColumn(animations, 1, "Time", 40, LVCFMT_RIGHT);
  list::InsertColumn(bones, 0, "Name", 77, LVCFMT_LEFT);
  list::InsertColumn(bones, 1, "B#", 30, LVCFMT_RIGHT);
  list::InsertColumn(bones, 2, "Type", 40, LVCFMT_LEFT);
  for (HWND list : {animations, bones}) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SetWindowSubclass(list, RefuseColumnResizing, kHeaderSubclass, 0);
  }
  SetWindowSubclass(bones, HideScrollBars, kScrollBarSubclass, 0);
  // From its first frame calculation on.
  SetWindowPos(bones, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowRowCount(HWND list, int count) {
  SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
  InvalidateRect(list, nullptr, TRUE);
}

void RedrawRow(HWND list, int row) { SendMessageA(list, LVM_REDRAWITEMS, row, row); }

namespace {

// Answers a list's request for the text of a row's cell with `text(row,
// column)`, which is empty for a row that does not exist.
template <typename CellText>
bool AnswerText(const NMHDR* header, const CellText& text) {
  if (header->code != LVN_GETDISPINFOA && header->code != LVN_GETDISPINFOW) return false;
  // Both variants share the layout up to the text pointer.
  const LVITEMA& asked = reinterpret_cast<const NMLVDISPINFOA*>(header)->item;
  if (!(asked.mask & LVIF_TEXT) || !asked.pszText || asked.cchTextMax <= 0) return true;
  const std::string shown = text(asked.iItem, asked.iSubItem);
  const size_t room = static_cast<size_t>(asked.cchTextMax) - 1;
  if (header->code == LVN_GETDISPINFOA) {
    const size_t length = std::min(shown.size(), room);
    shown.copy(asked.pszText, length);
    asked.pszText[length] = '\0';
  } else {
    const std::wstring wide = WideFromCodePage(shown);
    wchar_t* target = reinterpret_cast<const NMLVDISPINFOW*>(header)->item.pszText;
    const size_t length = std::min(wide.size(), room);
    wide.copy(target, length);
    target[length] = L'\0';
  }
  return true;
}

// The row a list asks for when the user types the start of a name, by
// `name(row)` for rows 0 to count - 1; nothing for any other notification.
template <typename RowName>
std::optional<int> FindRow(const NMHDR* header, int count, const RowName& name) {
  if (header->code != LVN_ODFINDITEMA && header->code != LVN_ODFINDITEMW) return std::nullopt;
  // Both variants share the layout up to the text pointer.
  const auto& find = *reinterpret_cast<const NMLVFINDITEMA*>(header);
  if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
  const std::string typed = header->code == LVN_ODFINDITEMA
                                ? std::string(find.lvfi.psz)
                                : CodePageFromWide(reinterpret_cast<const NMLVFINDITEMW*>(header)->lvfi.psz);
  const bool partial = (find.lvfi.flags & LVFI_PARTIAL) != 0;
  auto matches = [&](int row) {
    const std::string text = name(row);
    if (partial ? text.size() < typed.size() : text.size() != typed.size()) return false;
    const int length = static_cast<int>(typed.size());
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), length, typed.c_str(), length) ==
           CSTR_EQUAL;
  };
  const int start = std::clamp(find.iStart, 0, count);
  for (int row = start; row < count; ++row) {
    if (matches(row)) return row;
  }
  for (int row = 0; (find.lvfi.flags & LVFI_WRAP) && row < start; ++row) {
    if (matches(row)) return row;
  }
  return -1;
}

}  // namespace

std::optional<int> FindAnimationRow(const NMHDR* header, const AnimPackage& package) {
  return FindRow(header, package.animationCount(), [&package](int row) {
    return NameText(package.animations[static_cast<size_t>(row)].name);
  });
}

std::optional<int> FindTrackRow(const NMHDR* header, const std::vector<TrackRow>& rows) {
  return FindRow(header, static_cast<int>(rows.size()),
                 [&rows](int row) { return rows[static_cast<size_t>(row)].cells[0]; });
}

bool AnswerAnimationText(const NMHDR* header, const AnimPackage& package) {
  return AnswerText(header, [&package](int row, int column) -> std::string {
    const Animation* animation = AnimationAt(package, row);
    if (!animation) return {};
    return column == 0 ? NameText(animation->name) : Decimal(AnimationLengthFrames(*animation));
  });
}

TrackRow RowOfTrack(const BoneTrack& track) {
  return {{NameText(track.name), Decimal(track.boneId), FourCCText(track.keyType)}};
}

std::vector<TrackRow> RowsOfTracks(const Animation* animation) {
  std::vector<TrackRow> rows;
  if (animation) {
    for (const BoneTrack& track : animation->bones) rows.push_back(RowOfTrack(track));
  }
  return rows;
}

bool AnswerBoneText(const NMHDR* header, const std::vector<TrackRow>& rows) {
  return AnswerText(header, [&rows](int row, int column) -> std::string {
    if (row < 0 || static_cast<size_t>(row) >= rows.size() || column < 0 || column > 2) return {};
    return rows[static_cast<size_t>(row)].cells[column];
  });
}

ListEvent OnPackageListNotify(const NMHDR* header) {
  ListEvent event;
  HWND list = header->hwndFrom;
  switch (header->code) {
    case NM_RCLICK:
      event.kind = ListEvent::Kind::ContextMenu;
      break;
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW:
      BeginLabelEdit(list);
      break;
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW:
      event.kind = ListEvent::Kind::Renamed;
      event.row = reinterpret_cast<const NMLVDISPINFOA*>(header)->item.iItem;
      event.text = EndLabelEdit(list);
      break;
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
      event.kind = ListEvent::Kind::ItemChanged;
      event.row = event.lastRow = change->iItem;
      event.selectionChanged = change->iSubItem == 0 && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED);
      event.selected = (change->uNewState & LVIS_SELECTED) != 0;
      break;
    }
    case LVN_ODSTATECHANGED: {
      // A row list kept by its owner reports a range selected at once (Shift+click).
      const auto* change = reinterpret_cast<const NMLVODSTATECHANGE*>(header);
      event.kind = ListEvent::Kind::ItemChanged;
      event.row = change->iFrom;
      event.lastRow = change->iTo;
      event.selectionChanged = ((change->uOldState ^ change->uNewState) & LVIS_SELECTED) != 0;
      event.selected = (change->uNewState & LVIS_SELECTED) != 0;
      break;
    }
    default:
      break;
  }
  return event;
}

}  // namespace zam
