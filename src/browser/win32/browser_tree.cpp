#include "browser/win32/browser_tree.h"

#include <shellapi.h>
#include <windowsx.h>

#include <vector>

#include "base/messages.h"

namespace zam {
namespace {

// Item texts and the boxes' paths are read into buffers of this size.
constexpr int kTextBytes = 260;
constexpr int kPackagePopup = 0;
constexpr int kModelPopup = 1;

// Redraw off for the life of the object; the window is repainted after.
// Items are deleted and inserted with redraw off, and the browsed item is
// expanded after it is back on, so that the tree lays its items out once.
class RedrawOff {
 public:
  explicit RedrawOff(HWND window) : window_(window) { SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }
  ~RedrawOff() {
    SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
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

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const char* text, int image) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<char*>(text);
  insert.item.iImage = image;
  insert.item.iSelectedImage = image;
  return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM InsertBrowseItem(HWND tree, HTREEITEM parent, const BrowseItem& item) {
  HTREEITEM inserted = InsertItem(tree, parent, item.text.c_str(), static_cast<int>(item.icon));
  // Never filled: expanding its parent navigates there and lists it afresh.
  if (item.expandable) InsertItem(tree, inserted, msg::kTreePlaceholder, -1);
  return inserted;
}

void InsertListing(HWND tree, HTREEITEM parent, const std::vector<BrowseItem>& items) {
  for (const BrowseItem& item : items) InsertBrowseItem(tree, parent, item);
}

std::string ItemText(HWND tree, HTREEITEM item) {
  char text[kTextBytes] = {};
  TVITEMA query{};
  query.mask = TVIF_TEXT | TVIF_HANDLE;
  query.hItem = item;
  query.pszText = text;
  query.cchTextMax = sizeof text;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
  return text;
}

std::vector<std::string> TextsFromRoot(HWND tree, HTREEITEM item) {
  std::vector<std::string> texts;
  for (; item; item = TreeView_GetParent(tree, item)) texts.insert(texts.begin(), ItemText(tree, item));
  return texts;
}

void DeleteChildren(HWND tree, HTREEITEM parent, HTREEITEM keep) {
  HTREEITEM child = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
  while (child) {
    HTREEITEM next = TreeView_GetNextSibling(tree, child);
    if (child != keep) TreeView_DeleteItem(tree, child);
    child = next;
  }
}

void ShowBrowsedItem(const BrowserView& browser, HTREEITEM browsed) {
  HWND tree = browser.controls.tree;
  TreeView_Expand(tree, browsed, TVE_EXPAND);
  TreeView_EnsureVisible(tree, browsed);
  SetWindowTextA(browser.controls.pathBox, browser.state.browsePath.c_str());
}

HICON SmallShellIcon(const char* path, DWORD attributes, UINT flags) {
  SHFILEINFOA info{};
  SHGetFileInfoA(path, attributes, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON | flags);
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
  SetIcon(images, BrowseIcon::Folder, SmallShellIcon("C:\\WINDOWS", FILE_ATTRIBUTE_DIRECTORY, byName));
  SetIcon(images, BrowseIcon::OpenFolder,
          SmallShellIcon("C:\\WINDOWS", FILE_ATTRIBUTE_DIRECTORY, byName | SHGFI_OPENICON));
  SetIcon(images, BrowseIcon::Archive, SmallShellIcon("*.IMG", FILE_ATTRIBUTE_NORMAL, byName));
  SetIcon(images, BrowseIcon::Package, SmallShellIcon("*.IFP", FILE_ATTRIBUTE_NORMAL, byName));
  SetIcon(images, BrowseIcon::Model, SmallShellIcon("*.DFF", FILE_ATTRIBUTE_NORMAL, byName));
  SetIcon(images, BrowseIcon::Drive, SmallShellIcon("C:\\", 0, 0));
  return images;
}

// The dialog's font asking for grey smoothing. A tree lays a listing out by
// selecting its font once per item; Wine asks the X server's settings at
// every selection of a font that leaves the smoothing to the system, which
// made a large archive take a third longer to list.
HFONT GreySmoothedFont(HWND tree) {
  LOGFONTA font{};
  if (!GetObjectA(reinterpret_cast<HFONT>(SendMessageA(tree, WM_GETFONT, 0, 0)), sizeof font, &font)) return nullptr;
  font.lfQuality = ANTIALIASED_QUALITY;
  return CreateFontIndirectA(&font);
}

void SetDriveIcon(BrowserView& browser, char letter) {
  std::string root = DriveRoot(letter);
  SetIcon(browser.images.get(), BrowseIcon::Drive, SmallShellIcon(root.c_str(), 0, 0));
  InvalidateRect(browser.controls.tree, nullptr, TRUE);
}

void SelectDrive(const BrowserView& browser, char letter) {
  HWND box = browser.controls.driveBox;
  int count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[kTextBytes] = {};
    if (SendMessageA(box, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(sizeof text)) continue;
    SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    if (text[0] == letter) SendMessageA(box, CB_SETCURSEL, i, 0);
  }
}

// Rebuilds the tree around the item that was expanded or collapsed: it
// becomes the browsed place, the tree again a chain ending there.
void Navigate(BrowserView& browser, HTREEITEM item) {
  HWND tree = browser.controls.tree;
  BusyScope busy(browser.busy);
  browser.state.browsePath = ItemPath(TextsFromRoot(tree, item));
  {
    RedrawOff redraw(tree);
    TreeView_SelectItem(tree, item);
    DeleteChildren(tree, item, nullptr);
    DeleteChildren(tree, TreeView_GetParent(tree, item), item);
    TreeView_Expand(tree, item, TVE_COLLAPSE);
    InsertListing(tree, item, ListBrowsedPlace(browser.state, ListingRules::Navigation));
  }
  ShowBrowsedItem(browser, item);
}

void ShowItemPopup(const BrowserView& browser, LPARAM position) {
  HWND tree = browser.controls.tree;
  POINT screen{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  TVHITTESTINFO hit{};
  hit.pt = screen;
  ScreenToClient(tree, &hit.pt);
  HTREEITEM item = TreeView_HitTest(tree, &hit);
  if (!item) return;
  TreeView_SelectItem(tree, item);
  std::string text = ItemText(tree, item);
  int popup = IsPackageName(text) ? kPackagePopup : IsModelName(text) ? kModelPopup : -1;
  if (popup < 0) return;
  TrackPopupMenu(GetSubMenu(browser.controls.popups, popup), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON,
                 screen.x, screen.y, 0, browser.controls.commandTarget, nullptr);
}

// The tree's own procedure runs every message, after the context menu.
// Subclassed through its window procedure, not the common controls'
// subclass chain: under Wine that looks its data up in the window server
// for every message, which made filling a large listing take seconds.
LRESULT CALLBACK TreeProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* browser = reinterpret_cast<const BrowserView*>(GetWindowLongPtrA(tree, GWLP_USERDATA));
  WNDPROC treeProc = browser->treeProc;
  if (message == WM_CONTEXTMENU) ShowItemPopup(*browser, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeProc));
    SetWindowLongPtrA(tree, GWLP_USERDATA, 0);
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
  if (browser.font) SendMessageA(controls.tree, WM_SETFONT, reinterpret_cast<WPARAM>(browser.font.get()), FALSE);
  for (const Drive& drive : LogicalDrives()) {
    std::string text = DriveBoxText(drive);
    LRESULT index = SendMessageA(controls.driveBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (drive.letter == browser.state.currentDrive) {
      SendMessageA(controls.driveBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      RefreshBrowserTree(browser);
    }
  }
  // The initial directory's drive does not exist: the tree stays empty.
  if (SendMessageA(controls.driveBox, CB_GETCURSEL, 0, 0) == CB_ERR) {
    SendMessageA(controls.driveBox, CB_SETCURSEL, 0, 0);
  }
  SetWindowLongPtrA(controls.tree, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&browser));
  browser.treeProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(controls.tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc)));
}

void RefreshBrowserTree(BrowserView& browser) {
  HWND tree = browser.controls.tree;
  BusyScope busy(browser.busy);
  BrowseState& state = browser.state;
  state.browsePath = NormaliseBrowsePath(state.browsePath, state.currentDrive);
  HTREEITEM browsed = nullptr;
  {
    RedrawOff redraw(tree);
    TreeView_DeleteAllItems(tree);
    for (const BrowseItem& component : BrowseChain(state.browsePath)) {
      browsed = InsertBrowseItem(tree, browsed, component);
    }
    TreeView_SelectItem(tree, browsed);
    TreeView_Expand(tree, browsed, TVE_COLLAPSE);
    InsertListing(tree, browsed, ListBrowsedPlace(state, ListingRules::Refresh));
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
  char text[kTextBytes] = {};
  GetWindowTextA(browser.controls.pathBox, text, sizeof text);
  PathBoxVerdict verdict = CheckPathBoxText(text);
  if (verdict == PathBoxVerdict::Accepted) BrowseTo(browser, text);
  return verdict;
}

void OnDriveChosen(BrowserView& browser) {
  HWND box = browser.controls.driveBox;
  LRESULT index = SendMessageA(box, CB_GETCURSEL, 0, 0);
  char text[kTextBytes] = {};
  if (index == CB_ERR || SendMessageA(box, CB_GETLBTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof text)) return;
  SendMessageA(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  char letter = DriveLetterOf(text);
  if (letter == browser.state.currentDrive) return;
  browser.state.currentDrive = letter;
  browser.state.browsePath = DriveRoot(letter);
  SetDriveIcon(browser, letter);
  RefreshBrowserTree(browser);
}

BrowserEvent OnBrowserTreeNotify(BrowserView& browser, const NMHDR* header) {
  BrowserEvent event;
  if (browser.busy) return event;
  switch (header->code) {
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW:
      // The item's handle sits at the same place in both forms.
      Navigate(browser, reinterpret_cast<const NMTREEVIEWA*>(header)->itemNew.hItem);
      break;
    case NM_DBLCLK: {
      std::optional<BrowseTarget> target = SelectedTarget(browser);
      if (!target) break;
      if (IsPackageName(target->name)) event.kind = BrowserEvent::Kind::OpenPackage;
      if (IsModelName(target->name)) event.kind = BrowserEvent::Kind::OpenModel;
      if (event.kind != BrowserEvent::Kind::None) event.target = *target;
      break;
    }
    default:
      break;
  }
  return event;
}

std::optional<BrowseTarget> SelectedTarget(const BrowserView& browser) {
  HWND tree = browser.controls.tree;
  HTREEITEM selected = TreeView_GetSelection(tree);
  if (!selected) return std::nullopt;
  return TargetOfItem(browser.state, TextsFromRoot(tree, selected));
}

}  // namespace zam
