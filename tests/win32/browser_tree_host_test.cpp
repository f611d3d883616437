// The browser tree in a small window of its own that treats it as the main
// dialog does (notifications and the tree's WM_CONTEXTMENU to the browser,
// the popups' commands recorded), driven with real input through the
// system: names of any script, items that go by the browser's state and not
// by their texts, popups from a right click and from Shift+F10, the tree
// back at its left edge after navigation, and info tips.

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "browser/win32/browser_tree.h"
#include "img_builder.h"
#include "platform/win32/wide_text.h"
#include "resource.h"
#include "support/scratch_folder.h"

namespace zam::test {
namespace {

constexpr UINT_PTR kMenuTimeout = 1;

struct Key {
  WORD key;
  bool up;
};

void Press(const std::vector<Key>& keys) {
  std::vector<INPUT> inputs;
  for (const Key& key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.key;
    input.ki.dwFlags = key.up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::vector<Key> Taps(std::initializer_list<WORD> keys) {
  std::vector<Key> taps;
  for (WORD key : keys) {
    taps.push_back({key, false});
    taps.push_back({key, true});
  }
  return taps;
}

void RightClickAt(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  INPUT inputs[2] = {};
  inputs[0].type = inputs[1].type = INPUT_MOUSE;
  inputs[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  inputs[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  SendInput(2, inputs, sizeof(INPUT));
}

class BrowserTreeHost : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_TREEVIEW_CLASSES;
    InitCommonControlsEx(&classes);
    popups_.reset(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TREE_MENU)));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZamBrowserTreeHost";
    RegisterClassW(&windowClass);
  }

  void TearDown() override {
    if (host_) DestroyWindow(host_);
    Pump();
  }

  // The host and its controls, the tree `treeWidth` pixels wide (the main
  // dialog's is 165), browsing `initialDirectory`.
  void Open(const std::string& initialDirectory, int treeWidth) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    host_ = CreateWindowExW(0, L"ZamBrowserTreeHost", L"Browser", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                            treeWidth + 40, 480, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(host_, nullptr);
    SetWindowLongPtrW(host_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    auto child = [&](const wchar_t* windowClass, DWORD style, int x, int y, int width, int height, int id) {
      return CreateWindowExW(0, windowClass, L"", WS_CHILD | WS_VISIBLE | style, x, y, width, height, host_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    BrowserControls controls;
    controls.pathBox = child(L"EDIT", WS_BORDER | ES_AUTOHSCROLL, 5, 5, treeWidth, 22, IDC_PATH_BOX);
    controls.driveBox = child(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 5, 30, treeWidth, 200, IDC_DRIVE_BOX);
    controls.tree = child(WC_TREEVIEWW, WS_BORDER | WS_TABSTOP | TVS_SHOWSELALWAYS | TVS_INFOTIP, 5, 60, treeWidth,
                          360, IDC_BROWSER_TREE);
    controls.commandTarget = host_;
    controls.popups = popups_.get();
    tree_ = controls.tree;
    InitBrowser(browser_, controls, initialDirectory, true);
    SetForegroundWindow(host_);
    SetFocus(tree_);
    Pump();
  }

  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // Pumps until `done` or `milliseconds` passed; whether `done` came true.
  static bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
      Pump();
      if (done()) return true;
      if (GetTickCount() - start > milliseconds) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }

  std::wstring ItemText(HTREEITEM item) const {
    wchar_t text[INFOTIPSIZE] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = INFOTIPSIZE;
    SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return text;
  }
  LPARAM ItemParam(HTREEITEM item) const {
    TVITEMW query{};
    query.mask = TVIF_PARAM | TVIF_HANDLE;
    query.hItem = item;
    SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return query.lParam;
  }
  std::vector<HTREEITEM> Children(HTREEITEM parent) const {
    std::vector<HTREEITEM> items;
    HTREEITEM child = parent ? TreeView_GetChild(tree_, parent) : TreeView_GetRoot(tree_);
    for (; child; child = TreeView_GetNextSibling(tree_, child)) items.push_back(child);
    return items;
  }
  HTREEITEM Find(const std::wstring& text) const {
    std::vector<HTREEITEM> pending = Children(nullptr);
    while (!pending.empty()) {
      HTREEITEM item = pending.back();
      pending.pop_back();
      if (ItemText(item) == text) return item;
      for (HTREEITEM child : Children(item)) pending.push_back(child);
    }
    return nullptr;
  }
  // The texts from the root down to the selected item, each followed by "\".
  std::wstring Chain() const {
    std::wstring chain;
    for (HTREEITEM item = TreeView_GetSelection(tree_); item; item = TreeView_GetParent(tree_, item)) {
      chain = ItemText(item) + L"\\" + chain;
    }
    return chain;
  }
  // The selected item's children, sorted (folders list in the file system's order).
  std::vector<std::wstring> Listing() const {
    std::vector<std::wstring> texts;
    for (HTREEITEM item : Children(TreeView_GetSelection(tree_))) texts.push_back(ItemText(item));
    std::sort(texts.begin(), texts.end());
    return texts;
  }
  RECT TextRect(HTREEITEM item) const {
    RECT rect{};
    TreeView_GetItemRect(tree_, item, &rect, TRUE);
    return rect;
  }
  POINT ScreenMiddle(HTREEITEM item) const {
    RECT rect = TextRect(item);
    POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(tree_, &middle);
    return middle;
  }
  // A double-click as the mouse makes it (down, up, double-click, up) on
  // the item, scrolled into view first as a user would.
  void DoubleClick(HTREEITEM item) {
    TreeView_EnsureVisible(tree_, item);
    RECT rect = TextRect(item);
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
      PostMessageW(tree_, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
    Pump();
  }
  int HorizontalScroll() const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    return GetScrollInfo(tree_, SB_HORZ, &info) ? info.nPos : 0;
  }
  // The info tip the tree would ask its parent for, in a buffer of `size` characters.
  std::wstring InfoTip(HTREEITEM item, int size) {
    std::vector<wchar_t> text(static_cast<size_t>(size), L'\0');
    NMTVGETINFOTIPW tip{};
    tip.hdr.hwndFrom = tree_;
    tip.hdr.idFrom = IDC_BROWSER_TREE;
    tip.hdr.code = TVN_GETINFOTIPW;
    tip.pszText = text.data();
    tip.cchTextMax = size;
    tip.hItem = item;
    tip.lParam = ItemParam(item);
    SendMessageW(host_, WM_NOTIFY, IDC_BROWSER_TREE, reinterpret_cast<LPARAM>(&tip));
    return text.data();
  }

  // Right-clicks `item`, or presses `keys` with the tree focused; the
  // popup, when one comes, is answered with `menuKeys`, and its command
  // waited for.
  void OpenPopup(HTREEITEM item, const std::vector<Key>& keys, const std::vector<Key>& menuKeys, bool popupComes) {
    shownPopups_.clear();
    visiblePopups_.clear();
    commands_.clear();
    menuKeys_ = menuKeys;
    if (keys.empty()) {
      RightClickAt(ScreenMiddle(item));
    } else {
      SetFocus(tree_);
      Press(keys);
    }
    PumpUntil([this] { return !commands_.empty(); }, popupComes ? 2000 : 300);
    Pump();
  }

  static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<BrowserTreeHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
      case WM_NOTIFY: {
        BrowserEvent event = OnBrowserTreeNotify(self->browser_, reinterpret_cast<const NMHDR*>(lParam));
        if (event.kind != BrowserEvent::Kind::None) self->events_.push_back(event);
        return 0;
      }
      case WM_CONTEXTMENU:  // as the main dialog forwards it
        if (reinterpret_cast<HWND>(wParam) != self->tree_) break;
        OnBrowserContextMenu(self->browser_, lParam);
        return 0;
      case WM_INITMENUPOPUP:
        self->shownPopups_.push_back(reinterpret_cast<HMENU>(wParam));
        SetTimer(window, kMenuTimeout, 3000, nullptr);  // a popup the keys did not close ends anyway
        break;
      case WM_ENTERIDLE:
        if (wParam == MSGF_MENU && !self->menuKeys_.empty()) {
          HWND popup = FindWindowW(L"#32768", nullptr);
          RECT rect{};
          if (popup && IsWindowVisible(popup) && GetWindowRect(popup, &rect)) self->visiblePopups_.push_back(rect);
          Press(std::exchange(self->menuKeys_, {}));
        }
        break;
      case WM_EXITMENULOOP:
        KillTimer(window, kMenuTimeout);
        break;
      case WM_TIMER:
        if (wParam == kMenuTimeout) EndMenu();
        return 0;
      case WM_COMMAND:
        self->commands_.push_back(LOWORD(wParam));
        return 0;
      default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }

  ScratchFolder scratch_;
  HWND host_ = nullptr;
  HWND tree_ = nullptr;
  BrowserView browser_;
  win32::UniqueMenu popups_;
  std::vector<BrowserEvent> events_;
  std::vector<HMENU> shownPopups_;
  std::vector<RECT> visiblePopups_;  // the popup windows ("#32768") seen open
  std::vector<WORD> commands_;
  std::vector<Key> menuKeys_;
};

// An archive of a package, a package whose name is 8-bit text of the code
// page, and a model.
std::vector<uint8_t> TestArchive() {
  return gen::BuildImgArchive({{"walk.ifp", gen::PatternData(100, 1)},
                               {"caf\xE9.ifp", gen::PatternData(100, 2)},
                               {"ped.dff", gen::PatternData(100, 3)}});
}

// Texts in any script reach the tree, the path box and the drive box whole;
// what an item stands for comes from the browser's state, also after its
// text on screen changed.
TEST_F(BrowserTreeHost, ShowsNamesOfAnyScriptAndGoesByItsOwnState) {
  scratch_.MakeFolder("Игры/Модели");
  scratch_.Write("Игры/прыжок.ifp", {1});
  scratch_.Write("Игры/動き.dff", {1});
  scratch_.Write("Игры/архив.img", TestArchive());
  const std::string games = scratch_.ProgramPath("Игры");
  Open(games, 400);
  EXPECT_EQ(Chain(), WideFromUtf8(games + "\\"));
  EXPECT_EQ(Listing(), (std::vector<std::wstring>{L"Модели", L"архив.img", L"прыжок.ifp", L"動き.dff"}));
  wchar_t text[MAX_PATH] = {};
  GetWindowTextW(browser_.controls.pathBox, text, MAX_PATH);
  EXPECT_EQ(text, WideFromUtf8(games + "\\"));
  GetWindowTextW(browser_.controls.driveBox, text, MAX_PATH);
  EXPECT_EQ(std::wstring(text).substr(0, 3), WideFromUtf8(games.substr(0, 3)));

  DoubleClick(Find(L"прыжок.ifp"));
  ASSERT_EQ(events_.size(), 1u);
  EXPECT_EQ(events_[0].kind, BrowserEvent::Kind::OpenPackage);
  EXPECT_EQ(events_[0].target.path, games + "\\прыжок.ifp");
  EXPECT_FALSE(events_[0].target.InArchive());

  // A text changed on screen changes nothing the browser does.
  HTREEITEM model = Find(L"動き.dff");
  TVITEMW change{};
  change.mask = TVIF_TEXT | TVIF_HANDLE;
  change.hItem = model;
  change.pszText = const_cast<wchar_t*>(L"other.ifp");
  SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
  DoubleClick(model);
  ASSERT_EQ(events_.size(), 2u);
  EXPECT_EQ(events_[1].kind, BrowserEvent::Kind::OpenModel);
  EXPECT_EQ(events_[1].target.path, games + "\\動き.dff");
  EXPECT_EQ(SelectedTarget(browser_)->name, "動き.dff");

  // Entries' names are the archive's bytes, shown through the code page.
  DoubleClick(Find(L"архив.img"));
  EXPECT_EQ(browser_.state.browseArchive, games + "\\архив.img");
  const std::wstring cafe = WideFromCodePage("caf\xE9.ifp");
  EXPECT_EQ(Listing(), (std::vector<std::wstring>{cafe, L"ped.dff", L"walk.ifp"}));
  DoubleClick(Find(cafe));
  ASSERT_EQ(events_.size(), 3u);
  EXPECT_EQ(events_[2].target.archive, games + "\\архив.img");
  EXPECT_EQ(events_[2].target.name, "caf\xE9.ifp");

  SetWindowTextW(browser_.controls.pathBox, WideFromUtf8(games + "\\Модели").c_str());
  EXPECT_EQ(OnPathGo(browser_), PathBoxVerdict::Accepted);
  EXPECT_EQ(Chain(), WideFromUtf8(games + "\\Модели\\"));
  EXPECT_EQ(browser_.state.browsePath, games + "\\Модели\\");
}

// Wine's tree sends a right click's WM_CONTEXTMENU to its parent, the
// main dialog to the browser; one popup comes either way, and its first
// item goes to the command target.
TEST_F(BrowserTreeHost, RightClickOpensThePopupOfPackagesAndModelsOnce) {
  scratch_.MakeFolder("game/sub");
  scratch_.Write("game/walk.ifp", {1});
  scratch_.Write("game/ped.dff", {1});
  Open(scratch_.ProgramPath("game"), 400);
  const std::vector<Key> chooseFirst = Taps({VK_DOWN, VK_RETURN});
  struct Case {
    const wchar_t* item;
    int popup;  // -1: none
    WORD command;
  } cases[] = {{L"walk.ifp", 0, ID_TREE_OPEN}, {L"ped.dff", 1, ID_TREE_OPEN_SKINNED}, {L"sub", -1, 0}};
  for (const Case& c : cases) {
    HTREEITEM item = Find(c.item);
    ASSERT_NE(item, nullptr);
    OpenPopup(item, {}, chooseFirst, c.popup >= 0);
    EXPECT_EQ(TreeView_GetSelection(tree_), item) << "the clicked item is selected";
    if (c.popup < 0) {
      EXPECT_TRUE(shownPopups_.empty());
      EXPECT_TRUE(commands_.empty());
      continue;
    }
    EXPECT_EQ(shownPopups_, std::vector<HMENU>{GetSubMenu(popups_.get(), c.popup)}) << "exactly one popup";
    EXPECT_EQ(visiblePopups_.size(), 1u) << "the popup window was open";
    EXPECT_EQ(commands_, std::vector<WORD>{c.command});
    EXPECT_EQ(SelectedTarget(browser_)->path, scratch_.ProgramPath("game") + "\\" + Utf8FromWide(c.item));
  }
}

// Shift+F10 (which Wine's tree keeps from the default procedure) and the
// menu key (the tree's own WM_CONTEXTMENU) show the selected item's popup
// at the item, once.
TEST_F(BrowserTreeHost, KeyboardOpensThePopupOfTheSelectedItemAtTheItem) {
  scratch_.MakeFolder("game");
  scratch_.Write("game/walk.ifp", {1});
  scratch_.Write("game/ped.dff", {1});
  Open(scratch_.ProgramPath("game"), 400);
  const std::vector<Key> shiftF10 = {{VK_SHIFT, false}, {VK_F10, false}, {VK_F10, true}, {VK_SHIFT, true}};
  struct Case {
    const wchar_t* item;
    std::vector<Key> keys;
    int popup;
    WORD command;
  } cases[] = {{L"ped.dff", shiftF10, 1, ID_TREE_OPEN_SKINNED},
               {L"walk.ifp", shiftF10, 0, ID_TREE_OPEN},
               {L"walk.ifp", Taps({VK_APPS}), 0, ID_TREE_OPEN}};
  for (const Case& c : cases) {
    HTREEITEM item = Find(c.item);
    TreeView_SelectItem(tree_, item);
    OpenPopup(item, c.keys, Taps({VK_DOWN, VK_RETURN}), true);
    EXPECT_EQ(shownPopups_, std::vector<HMENU>{GetSubMenu(popups_.get(), c.popup)}) << c.keys.size();
    ASSERT_EQ(visiblePopups_.size(), 1u);
    EXPECT_EQ(commands_, std::vector<WORD>{c.command});
    RECT rect = TextRect(item);
    POINT corner{rect.left, rect.bottom};
    ClientToScreen(tree_, &corner);
    EXPECT_EQ(visiblePopups_[0].left, corner.x) << "at the item";
    EXPECT_EQ(visiblePopups_[0].top, corner.y);
  }
}

// Entering an archive (or a refresh) at the end of a chain wider than the
// tree leaves the tree at its left edge, the chain readable.
TEST_F(BrowserTreeHost, NavigationShowsTheTreeFromItsLeftEdge) {
  const std::string folder = "Игры/анимации всех персонажей игры/ещё одна глубокая папка";
  scratch_.MakeFolder(folder);
  scratch_.Write(folder + "/архив с анимациями.img", TestArchive());
  const std::string archive = scratch_.ProgramPath(folder + "/архив с анимациями.img");
  Open(scratch_.ProgramPath(folder), 165);
  HTREEITEM root = TreeView_GetRoot(tree_);
  const LONG rootLeft = TextRect(root).left;
  EXPECT_EQ(HorizontalScroll(), 0);
  HTREEITEM archiveItem = Find(L"архив с анимациями.img");
  TreeView_EnsureVisible(tree_, archiveItem);
  ASSERT_GT(HorizontalScroll(), 0) << "the chain is wider than the tree";
  DoubleClick(archiveItem);
  ASSERT_EQ(browser_.state.browseArchive, archive);
  EXPECT_EQ(HorizontalScroll(), 0);
  EXPECT_EQ(TextRect(root).left, rootLeft) << "the drive's item at the left edge";

  TreeView_EnsureVisible(tree_, Find(L"walk.ifp"));
  BrowseTo(browser_, archive);
  EXPECT_EQ(HorizontalScroll(), 0);
  EXPECT_EQ(TextRect(TreeView_GetRoot(tree_)).left, rootLeft);
}

// A name cut at the tree's edge is read whole in the item's info tip.
TEST_F(BrowserTreeHost, InfoTipsGiveTheWholeName) {
  const std::string longName = "очень длинное имя анимации персонажа, которое не помещается.ifp";
  scratch_.MakeFolder("Игры");
  scratch_.Write("Игры/" + longName, {1});
  scratch_.Write("Игры/архив.img", TestArchive());
  Open(scratch_.ProgramPath("Игры"), 165);
  HTREEITEM item = Find(WideFromUtf8(longName));
  ASSERT_NE(item, nullptr);
  RECT client;
  GetClientRect(tree_, &client);
  EXPECT_GT(TextRect(item).right, client.right) << "cut by the tree's edge";
  EXPECT_EQ(InfoTip(item, INFOTIPSIZE), WideFromUtf8(longName));
  EXPECT_EQ(InfoTip(item, 6), WideFromUtf8(longName).substr(0, 5)) << "cut to the buffer";
  DoubleClick(Find(L"архив.img"));
  EXPECT_EQ(InfoTip(Find(WideFromCodePage("caf\xE9.ifp")), INFOTIPSIZE), WideFromCodePage("caf\xE9.ifp"));
}

}  // namespace
}  // namespace zam::test
