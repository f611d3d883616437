#include "browser/win32/browser_tree.h"

#include <shellapi.h>
#include <windowsx.h>

#include <utility>
#include <vector>

#include "base/messages.h"
#include "img/img_edit.h"
#include "platform/win32/wide_text.h"

namespace zam {
namespace {

constexpr int kPackagePopup = 0;
constexpr int kModelPopup = 1;
constexpr int kArchivePopup = 2;
// The commands of an entry's popup that only an archive's entries have.
constexpr UINT kEntryCommands[] = {40120, 40121, 40122};  // Import File, Delete Entry, Rename Entry

// Redraw off for the life of the object; the window is repainted after.
// Items are deleted and inserted with redraw off, and the browsed item is
// expanded after it is back on, so that the tree lays its items out once.
class RedrawOff {
 public:
  explicit RedrawOff(HWND window) : window_(window) { SendMessageW(window_, WM_SETREDRAW, FALSE, 0); }
  ~RedrawOff() {
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
  }
  RedrawOff(const RedrawOff&) = delete;
  RedrawOff& operator=(const RedrawOff&) = delete;

 private:
  HWND window_;
};

class BusyScope {
 public:
  explicit BusyScope(bool& busy) : busy_(busy) { busy_ = true; }
  ~BusyScope() { busy_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& busy_;
};

std::wstring ShownText(const BrowseItem& item) {
  return item.storedName ? WideFromCodePage(item.text) : WideFromUtf8(item.text);
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const std::wstring& text, int image, BrowseItemId id) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  insert.item.iImage = image;
  insert.item.iSelectedImage = image;
  insert.item.lParam = PackBrowseItemId(id);
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM InsertBrowseItem(HWND tree, HTREEITEM parent, const BrowseItem& item, BrowseItemId id) {
  static const std::wstring kPlaceholder = WideFromUtf8(msg::kTreePlaceholder);
  HTREEITEM inserted = InsertItem(tree, parent, ShownText(item), static_cast<int>(item.icon), id);
  // Never filled: expanding its parent navigates there and lists it afresh.
  if (item.expandable) InsertItem(tree, inserted, kPlaceholder, -1, BrowseItemId{});
  return inserted;
}

void InsertListing(HWND tree, HTREEITEM parent, const std::vector<BrowseItem>& items) {
  for (size_t i = 0; i < items.size(); ++i) {
    InsertBrowseItem(tree, parent, items[i], {BrowseItemId::Part::Listing, i});
  }
}

BrowseItemId IdOfItem(HWND tree, HTREEITEM item) {
  TVITEMW query{};
  query.mask = TVIF_PARAM | TVIF_HANDLE;
  query.hItem = item;
  if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return BrowseItemId{};
  return UnpackBrowseItemId(query.lParam);
}

void SetIdOfItem(HWND tree, HTREEITEM item, BrowseItemId id) {
  TVITEMW change{};
  change.mask = TVIF_PARAM | TVIF_HANDLE;
  change.hItem = item;
  change.lParam = PackBrowseItemId(id);
  SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ComboItemText(HWND box, WPARAM index) {
  LRESULT length = SendMessageW(box, CB_GETLBTEXTLEN, index, 0);
  if (length == CB_ERR) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  LRESULT got = SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  text.resize(got == CB_ERR ? 0 : static_cast<size_t>(got));
  return text;
}

void DeleteChildren(HWND tree, HTREEITEM parent, HTREEITEM keep) {
  HTREEITEM child = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
  while (child) {
    HTREEITEM next = TreeView_GetNextSibling(tree, child);
    if (child != keep) TreeView_DeleteItem(tree, child);
    child = next;
  }
}

// Making the browsed item visible scrolls the tree sideways as far as its
// text needs, which leaves the chain above it blank or cut at the left:
// the tree goes back to its left edge after.
void ShowBrowsedItem(const BrowserView& browser, HTREEITEM browsed) {
  HWND tree = browser.controls.tree;
  TreeView_Expand(tree, browsed, TVE_EXPAND);
  TreeView_EnsureVisible(tree, browsed);
  SendMessageW(tree, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
  SetWindowTextW(browser.controls.pathBox, WideFromUtf8(browser.state.browsePath).c_str());
}

HICON SmallShellIcon(const wchar_t* path, DWORD attributes, UINT flags) {
  SHFILEINFOW info{};
  SHGetFileInfoW(path, attributes, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON | flags);
  return info.hIcon;
}

// A slot the shell gives no icon for stays blank; the others keep their places.
void SetIcon(HIMAGELIST images, BrowseIcon slot, HICON icon) {
  if (!icon) return;
  ImageList_ReplaceIcon(images, static_cast<int>(slot), icon);
  DestroyIcon(icon);
}

HIMAGELIST CreateBrowseIcons() {
  HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 0);
  ImageList_SetBkColor(images, RGB(255, 255, 255));
  ImageList_SetImageCount(images, 6);
  // The file types are asked by name alone, so nothing is read from disk.
  const UINT byName = SHGFI_USEFILEATTRIBUTES;
  SetIcon(images, BrowseIcon::Folder, SmallShellIcon(L"C:\\WINDOWS", FILE_ATTRIBUTE_DIRECTORY, byName));
  SetIcon(images, BrowseIcon::OpenFolder,
          SmallShellIcon(L"C:\\WINDOWS", FILE_ATTRIBUTE_DIRECTORY, byName | SHGFI_OPENICON));
  SetIcon(images, BrowseIcon::Archive, SmallShellIcon(L"*.IMG", FILE_ATTRIBUTE_NORMAL, byName));
  SetIcon(images, BrowseIcon::Package, SmallShellIcon(L"*.IFP", FILE_ATTRIBUTE_NORMAL, byName));
  SetIcon(images, BrowseIcon::Model, SmallShellIcon(L"*.DFF", FILE_ATTRIBUTE_NORMAL, byName));
  SetIcon(images, BrowseIcon::Drive, SmallShellIcon(L"C:\\", 0, 0));
  return images;
}

// The dialog's font asking for grey smoothing. A tree lays a listing out by
// selecting its font once per item; Wine asks the X server's settings at
// every selection of a font that leaves the smoothing to the system, which
// made a large archive take a third longer to list.
HFONT GreySmoothedFont(HWND tree) {
  LOGFONTW font{};
  if (!GetObjectW(reinterpret_cast<HFONT>(SendMessageW(tree, WM_GETFONT, 0, 0)), sizeof font, &font)) return nullptr;
  font.lfQuality = ANTIALIASED_QUALITY;
  return CreateFontIndirectW(&font);
}

void SetDriveIcon(BrowserView& browser, char letter) {
  std::wstring root = WideFromUtf8(DriveRoot(letter));
  SetIcon(browser.images.get(), BrowseIcon::Drive, SmallShellIcon(root.c_str(), 0, 0));
  InvalidateRect(browser.controls.tree, nullptr, TRUE);
}

void SelectDrive(const BrowserView& browser, char letter) {
  HWND box = browser.controls.driveBox;
  int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text = ComboItemText(box, static_cast<WPARAM>(i));
    if (!text.empty() && text[0] == static_cast<wchar_t>(letter)) SendMessageW(box, CB_SETCURSEL, i, 0);
  }
}

// Rebuilds the tree around the folder or archive item that was expanded or
// collapsed: it becomes the browsed place, the tree again a chain ending
// there, and the item one of the chain.
void Navigate(BrowserView& browser, HTREEITEM item) {
  HWND tree = browser.controls.tree;
  BusyScope busy(browser.busy);
  if (!NavigateToItem(browser.state, IdOfItem(tree, item))) return;
  {
    RedrawOff redraw(tree);
    TreeView_SelectItem(tree, item);
    DeleteChildren(tree, item, nullptr);
    DeleteChildren(tree, TreeView_GetParent(tree, item), item);
    SetIdOfItem(tree, item, {BrowseItemId::Part::Chain, browser.state.chain.size() - 1});
    TreeView_Expand(tree, item, TVE_COLLAPSE);
    InsertListing(tree, item, browser.state.listing);
  }
  ShowBrowsedItem(browser, item);
}

// The whole name, cut to the tip's buffer.
void FillInfoTip(const BrowserView& browser, const NMTVGETINFOTIPW& tip) {
  const BrowseItem* item = ItemOfId(browser.state, UnpackBrowseItemId(tip.lParam));
  if (!item || !tip.pszText || tip.cchTextMax <= 0) return;
  std::wstring text = ShownText(*item);
  size_t length = text.copy(tip.pszText, static_cast<size_t>(tip.cchTextMax - 1));
  tip.pszText[length] = L'\0';
}

// The tree's own procedure runs every message but its context menu.
// Subclassed through its window procedure, not the common controls'
// subclass chain: under Wine that looks its data up in the window server
// for every message, which made filling a large listing take seconds.
LRESULT CALLBACK TreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* browser = reinterpret_cast<BrowserView*>(GetWindowLongPtrW(tree, GWLP_USERDATA));
  WNDPROC treeProc = browser->treeProc;
  switch (message) {
    case WM_CONTEXTMENU:
      // Not passed on: the default procedure would hand it to the parent,
      // which shows the popup for it as well.
      OnBrowserContextMenu(*browser, lParam);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_F2) {
        RenameSelectedEntry(*browser);
        return 0;
      }
      break;
    case WM_SYSKEYDOWN:
      // Shift+F10 is the default procedure's context menu key, but Wine's
      // tree keeps the key from it. Taken here, it raises the popup once
      // on either system.
      if (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000) && !(HIWORD(lParam) & KF_ALTDOWN)) {
        OnBrowserContextMenu(*browser, -1);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeProc));
      SetWindowLongPtrW(tree, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return CallWindowProcW(treeProc, tree, message, wParam, lParam);
}

}  // namespace

void InitBrowser(BrowserView& browser, const BrowserControls& controls, const std::string& initialDirectory,
                 bool showDff) {
  browser.controls = controls;
  browser.state.showDff = showDff;
  browser.state.browsePath = initialDirectory;
  browser.state.currentDrive = DriveLetterOf(initialDirectory);
  browser.images.reset(CreateBrowseIcons());
  TreeView_SetImageList(controls.tree, browser.images.get(), TVSIL_NORMAL);
  browser.font.reset(GreySmoothedFont(controls.tree));
  if (browser.font) SendMessageW(controls.tree, WM_SETFONT, reinterpret_cast<WPARAM>(browser.font.get()), FALSE);
  // The wide notifications whatever the parent's character set, so that
  // an info tip is asked for in wide text.
  TreeView_SetUnicodeFormat(controls.tree, TRUE);
  for (const Drive& drive : LogicalDrives()) {
    std::wstring text = WideFromUtf8(DriveBoxText(drive));
    LRESULT index = SendMessageW(controls.driveBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (drive.letter == browser.state.currentDrive) {
      SendMessageW(controls.driveBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      RefreshBrowserTree(browser);
    }
  }
  // The initial directory's drive does not exist: the tree stays empty.
  if (SendMessageW(controls.driveBox, CB_GETCURSEL, 0, 0) == CB_ERR) {
    SendMessageW(controls.driveBox, CB_SETCURSEL, 0, 0);
  }
  SetWindowLongPtrW(controls.tree, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&browser));
  browser.treeProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(controls.tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc)));
}

void RefreshBrowserTree(BrowserView& browser) {
  HWND tree = browser.controls.tree;
  BusyScope busy(browser.busy);
  BrowseState& state = browser.state;
  RefreshBrowseState(state);
  HTREEITEM browsed = nullptr;
  {
    RedrawOff redraw(tree);
    TreeView_DeleteAllItems(tree);
    for (size_t i = 0; i < state.chain.size(); ++i) {
      browsed = InsertBrowseItem(tree, browsed, state.chain[i], {BrowseItemId::Part::Chain, i});
    }
    TreeView_SelectItem(tree, browsed);
    TreeView_Expand(tree, browsed, TVE_COLLAPSE);
    InsertListing(tree, browsed, state.listing);
  }
  ShowBrowsedItem(browser, browsed);
}

void BrowseTo(BrowserView& browser, const std::string& path) {
  char letter = DriveLetterOf(path);
  if (letter < 'A' || letter > 'Z') return;
  browser.state.currentDrive = letter;
  SetDriveIcon(browser, letter);
  SelectDrive(browser, letter);
  browser.state.browsePath = path;
  RefreshBrowserTree(browser);
}

PathBoxVerdict OnPathGo(BrowserView& browser) {
  std::string text = Utf8FromWide(WindowText(browser.controls.pathBox));
  PathBoxVerdict verdict = CheckPathBoxText(text);
  if (verdict == PathBoxVerdict::Accepted) BrowseTo(browser, text);
  return verdict;
}

void OnDriveChosen(BrowserView& browser) {
  HWND box = browser.controls.driveBox;
  LRESULT index = SendMessageW(box, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return;
  char letter = DriveLetterOf(Utf8FromWide(ComboItemText(box, static_cast<WPARAM>(index))));
  if (letter == '\0' || letter == browser.state.currentDrive) return;
  browser.state.currentDrive = letter;
  browser.state.browsePath = DriveRoot(letter);
  SetDriveIcon(browser, letter);
  RefreshBrowserTree(browser);
}

BrowserEvent OnBrowserTreeNotify(BrowserView& browser, const NMHDR* header, LRESULT& reply) {
  BrowserEvent event;
  if (browser.busy) return event;
  switch (header->code) {
    case TVN_BEGINLABELEDITW: {
      // Only an entry's name, and only when asked for (the popup, F2).
      const auto* edit = reinterpret_cast<const NMTVDISPINFOW*>(header);
      BrowseItemId id = UnpackBrowseItemId(edit->item.lParam);
      reply = !(std::exchange(browser.renameAsked, false) && IsArchiveEntryItem(browser.state, id));
      if (!reply) {
        HWND box = TreeView_GetEditControl(browser.controls.tree);
        SendMessageW(box, EM_LIMITTEXT, kImgMaxNameLength, 0);
      }
      break;
    }
    case TVN_ENDLABELEDITW: {
      const auto* edit = reinterpret_cast<const NMTVDISPINFOW*>(header);
      reply = FALSE;
      BrowseItemId id = UnpackBrowseItemId(edit->item.lParam);
      const BrowseItem* item = ItemOfId(browser.state, id);
      if (!edit->item.pszText || !item || !IsArchiveEntryItem(browser.state, id)) break;
      event.newName = CodePageFromWide(edit->item.pszText);
      if (event.newName == item->text) break;
      event.kind = BrowserEvent::Kind::RenameEntry;
      event.target = *TargetOfItem(browser.state, id);
      break;
    }
    case TVN_ITEMEXPANDEDW:
      Navigate(browser, reinterpret_cast<const NMTREEVIEWW*>(header)->itemNew.hItem);
      break;
    case TVN_GETINFOTIPW:
      FillInfoTip(browser, *reinterpret_cast<const NMTVGETINFOTIPW*>(header));
      break;
    case NM_DBLCLK: {
      HWND tree = browser.controls.tree;
      HTREEITEM selected = TreeView_GetSelection(tree);
      if (!selected) break;
      BrowseItemId id = IdOfItem(tree, selected);
      const BrowseItem* item = ItemOfId(browser.state, id);
      if (!item || id.part != BrowseItemId::Part::Listing) break;
      if (item->icon == BrowseIcon::Package) event.kind = BrowserEvent::Kind::OpenPackage;
      if (item->icon == BrowseIcon::Model) event.kind = BrowserEvent::Kind::OpenModel;
      if (event.kind != BrowserEvent::Kind::None) event.target = *TargetOfItem(browser.state, id);
      break;
    }
    default:
      break;
  }
  return event;
}

void OnBrowserContextMenu(BrowserView& browser, LPARAM screenPosition) {
  HWND tree = browser.controls.tree;
  POINT at{GET_X_LPARAM(screenPosition), GET_Y_LPARAM(screenPosition)};
  HTREEITEM item = nullptr;
  if (at.x == -1 && at.y == -1) {
    item = TreeView_GetSelection(tree);
    RECT rect;
    if (!item || !TreeView_GetItemRect(tree, item, &rect, TRUE)) return;
    at = {rect.left, rect.bottom};
    ClientToScreen(tree, &at);
  } else {
    TVHITTESTINFO hit{};
    hit.pt = at;
    ScreenToClient(tree, &hit.pt);
    item = TreeView_HitTest(tree, &hit);
    if (!item) return;
    TreeView_SelectItem(tree, item);
  }
  BrowseItemId id = IdOfItem(tree, item);
  const BrowseItem* shown = ItemOfId(browser.state, id);
  if (!shown) return;
  int popup = -1;
  if (id.part == BrowseItemId::Part::Listing && shown->icon == BrowseIcon::Package) popup = kPackagePopup;
  if (id.part == BrowseItemId::Part::Listing && shown->icon == BrowseIcon::Model) popup = kModelPopup;
  if (shown->icon == BrowseIcon::Archive) popup = kArchivePopup;
  if (popup < 0) return;
  HMENU menu = GetSubMenu(browser.controls.popups, popup);
  UINT entryState = IsArchiveEntryItem(browser.state, id) ? MF_ENABLED : MF_GRAYED;
  if (popup != kArchivePopup) {
    for (UINT command : kEntryCommands) EnableMenuItem(menu, command, MF_BYCOMMAND | entryState);
  }
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, browser.controls.commandTarget,
                 nullptr);
}

void RenameSelectedEntry(BrowserView& browser) {
  HWND tree = browser.controls.tree;
  HTREEITEM selected = TreeView_GetSelection(tree);
  if (!selected || !IsArchiveEntryItem(browser.state, IdOfItem(tree, selected))) return;
  SetFocus(tree);
  browser.renameAsked = true;
  TreeView_EditLabel(tree, selected);
  browser.renameAsked = false;
}

void EndEntryRename(BrowserView& browser, const BrowserEvent& event, bool renamed, LRESULT& reply) {
  reply = renamed;
  if (!renamed) return;
  // The listing keeps its order: the item is renamed where it stands.
  for (BrowseItem& item : browser.state.listing) {
    if (item.text == event.target.name) {
      item.text = event.newName;
      break;
    }
  }
}

std::optional<std::string> SelectedArchive(const BrowserView& browser) {
  HWND tree = browser.controls.tree;
  HTREEITEM selected = TreeView_GetSelection(tree);
  if (!selected) return std::nullopt;
  return ArchiveOfItem(browser.state, IdOfItem(tree, selected));
}

std::optional<std::string> ArchiveAtPoint(const BrowserView& browser, POINT screen) {
  HWND tree = browser.controls.tree;
  TVHITTESTINFO hit{};
  hit.pt = screen;
  ScreenToClient(tree, &hit.pt);
  HTREEITEM item = TreeView_HitTest(tree, &hit);
  if (!item || !(hit.flags & TVHT_ONITEM)) return std::nullopt;
  return ArchiveOfItem(browser.state, IdOfItem(tree, item));
}

std::optional<BrowseTarget> SelectedTarget(const BrowserView& browser) {
  HWND tree = browser.controls.tree;
  HTREEITEM selected = TreeView_GetSelection(tree);
  if (!selected) return std::nullopt;
  return TargetOfItem(browser.state, IdOfItem(tree, selected));
}

}  // namespace zam
