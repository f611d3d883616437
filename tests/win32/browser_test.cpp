// The browser pane driven with the mouse and keyboard on a generated folder
// of packages, models and an archive: the chain and listing after start-up,
// the path box, the drive box and double-clicks; packages and models opened
// from folders and archives, their popups; names of any script; the
// Directory menu across restarts. No test may leave a temporary file behind.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <set>
#include <utility>

#include "anim/ifp_writer.h"
#include "demo_models.h"
#include "editor_fixture.h"
// After the fixture, which brings <windows.h>.
#include <shlobj.h>  // DROPFILES

#include "img/img_archive.h"
#include "img/img_entry_bytes.h"
#include "img_builder.h"
#include "platform/win32/wide_text.h"
#include "resource.h"

namespace zam::test {
namespace {

using Texts = std::vector<std::string>;

// The files the temporary-file service made and nobody deleted.
std::set<std::string> TempFiles() {
  std::set<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(std::filesystem::temp_directory_path())) {
    std::string name = item.path().filename().string();
    if (item.path().extension() == ".tmp" && std::string("ifp dff txd").find(name.substr(0, 3)) != std::string::npos) {
      names.insert(name);
    }
  }
  return names;
}

// game\ holds a package, a model with its dictionary, a text file, a folder
// with a package, and an archive of packages and models.
class Browser : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    game_ = Path("game");
    archive_ = game_ + "\\anim.img";
    CreateDirectoryA(game_.c_str(), nullptr);
    CreateDirectoryA((game_ + "\\sub").c_str(), nullptr);
    WritePackage("game\\walk.ifp", TestPackage(kFormatANPK, 4));
    WritePackage("game\\sub\\deep.ifp", TestPackage(kFormatANPK, 1));
    std::vector<uint8_t> ped = gen::BuildCharacterDff(gen::SmallCharacter());
    std::vector<uint8_t> pedTextures = gen::BuildTxd(gen::SmallCharacterTextures());
    WriteFile(game_ + "\\ped.dff", ped);
    WriteFile(game_ + "\\ped.txd", pedTextures);
    WriteFile(game_ + "\\notes.txt", {'h', 'i'});
    std::vector<uint8_t> run, idle;
    WriteIfp(TestPackage(kFormatANP3, 3), run);
    WriteIfp(TestPackage(kFormatANPK, 2), idle);
    WriteFile(archive_, gen::BuildImgArchive({{"ped.dff", ped},
                                              {"run.ifp", run},
                                              {"ped.txd", pedTextures},
                                              {"gun.dff", gen::BuildWeaponDff(gen::DemoWeapon())},
                                              {"idle.ifp", idle},
                                              {"gun.txd", gen::BuildTxd(gen::DemoWeaponTextures())}}));
    WriteSettings("[Directory]\nInitDir=" + game_ + "\n");
    tempBefore_ = TempFiles();
  }

  void TearDown() override {
    EXPECT_EQ(TempFiles(), tempBefore_) << "a temporary file was left behind";
    EditorTest::TearDown();
  }

  HWND Tree() const { return Item(IDC_BROWSER_TREE); }
  HTREEITEM Selection() const { return TreeView_GetSelection(Tree()); }
  // The item's text as UTF-8.
  std::string ItemText(HTREEITEM item, int* image = nullptr) const {
    wchar_t text[INFOTIPSIZE] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = INFOTIPSIZE;
    SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    if (image) *image = query.iImage;
    return Utf8FromWide(text);
  }
  int HorizontalScroll() const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    return GetScrollInfo(Tree(), SB_HORZ, &info) ? info.nPos : 0;
  }
  std::vector<HTREEITEM> Children(HTREEITEM parent) const {
    std::vector<HTREEITEM> items;
    HTREEITEM child = parent ? TreeView_GetChild(Tree(), parent) : TreeView_GetRoot(Tree());
    for (; child; child = TreeView_GetNextSibling(Tree(), child)) items.push_back(child);
    return items;
  }
  // The texts from the root down to the browsed (selected) item, joined by "\".
  std::string Chain() const {
    std::string chain;
    for (HTREEITEM item = Selection(); item; item = TreeView_GetParent(Tree(), item)) {
      chain = ItemText(item) + (chain.empty() ? "" : "\\" + chain);
    }
    return chain;
  }
  // The browsed item's children as "text/icon", with "+" for a placeholder
  // child; folders come in the file system's order, so they are sorted.
  Texts Listing(bool sorted = false) const {
    Texts texts;
    for (HTREEITEM item : Children(Selection())) {
      int image = 0;
      std::string text = ItemText(item, &image);
      text += "/" + std::to_string(image);
      std::vector<HTREEITEM> below = Children(item);
      if (!below.empty()) text += below.size() == 1 && ItemText(below[0]) == "Loading..." ? "+" : "?";
      texts.push_back(text);
    }
    if (sorted) std::sort(texts.begin(), texts.end());
    return texts;
  }
  HTREEITEM Find(const std::string& text) const {
    std::vector<HTREEITEM> pending = Children(nullptr);
    while (!pending.empty()) {
      HTREEITEM item = pending.back();
      pending.pop_back();
      if (ItemText(item) == text) return item;
      for (HTREEITEM child : Children(item)) pending.push_back(child);
    }
    return nullptr;
  }
  // The item's middle, in the tree's client coordinates.
  POINT Middle(HTREEITEM item) const {
    RECT rect;
    std::memcpy(&rect, &item, sizeof item);  // the message takes the item in the rectangle
    SendMessageA(Tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  }
  // A double-click with the mouse on the item, scrolled into view first.
  void DoubleClick(const std::string& text) {
    HTREEITEM item = Find(text);
    ASSERT_NE(item, nullptr) << text;
    TreeView_EnsureVisible(Tree(), item);
    ClickControl(IDC_BROWSER_TREE, Middle(item), Button::Left, {}, 2);
  }
  void Select(const std::string& text) {
    HTREEITEM item = Find(text);
    ASSERT_NE(item, nullptr) << text;
    TreeView_SelectItem(Tree(), item);
  }
  void TypePath(const std::string& text) {
    SetDlgItemTextA(window_, IDC_PATH_BOX, text.c_str());
    ControlCommand(IDC_PATH_GO, BN_CLICKED);
  }

  std::string game_;
  std::string archive_;
  std::set<std::string> tempBefore_;
};

// Sorted; notes.txt is not listed.
const Texts kGameListing = {"anim.img/2+", "ped.dff/4", "sub/0+", "walk.ifp/3"};
const Texts kGameWithoutModels = {"anim.img/2+", "sub/0+", "walk.ifp/3"};
const Texts kArchiveListing = {"run.ifp/3", "idle.ifp/3", "ped.dff/4", "gun.dff/4"};

TEST_F(Browser, StartsInTheInitialDirectory) {
  Start();
  EXPECT_EQ(Chain(), game_);
  EXPECT_EQ(Listing(true), kGameListing);
  int drive = 0, folder = 0;
  ItemText(TreeView_GetRoot(Tree()), &drive);
  ItemText(TreeView_GetParent(Tree(), Selection()), &folder);
  EXPECT_EQ(drive, 5);
  EXPECT_EQ(folder, 1);
  EXPECT_EQ(Text(IDC_PATH_BOX), game_ + "\\");
  EXPECT_EQ(Text(IDC_DRIVE_BOX).substr(0, 3), game_.substr(0, 2) + "\\");
  EXPECT_EQ(GetWindowLongPtrA(Tree(), GWL_STYLE) & 0xFFFF, TVS_SHOWSELALWAYS | TVS_INFOTIP | TVS_EDITLABELS)
      << "no expand buttons and no lines; entries' names edited in place";
}

TEST_F(Browser, PathBoxBrowsesFoldersAndArchivesAndRefusesTheRest) {
  Start();
  struct Case {
    std::string typed;
    std::string message;  // empty: accepted
    std::string chain;
    Texts listing;
  } cases[] = {
      {archive_, "", archive_, kArchiveListing},
      {game_ + "\\ANIM.IMG", "", game_ + "\\ANIM.IMG", kArchiveListing},
      {game_ + "\\sub\\", "", game_ + "\\sub", {"deep.ifp/3"}},
      {game_ + "\\missing", "Invalid Path / File", game_ + "\\sub", {"deep.ifp/3"}},
      {game_ + "\\notes.txt", "Invalid File Extension", game_ + "\\sub", {"deep.ifp/3"}},
  };
  for (const Case& c : cases) {
    prompts_.messages.clear();
    TypePath(c.typed);
    ASSERT_EQ(prompts_.messages.size(), c.message.empty() ? 0u : 1u) << c.typed;
    if (!c.message.empty()) {
      EXPECT_EQ(prompts_.messages[0].text, c.message);
      EXPECT_EQ(prompts_.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(Chain(), c.chain) << c.typed;
    EXPECT_EQ(Listing(), c.listing) << c.typed;
  }
}

TEST_F(Browser, DriveBoxBrowsesTheRootOfAnotherDrive) {
  Start();
  HWND box = Item(IDC_DRIVE_BOX);
  int own = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
  int other = own == 0 ? 1 : 0;
  char text[300] = {};
  ASSERT_NE(SendMessageA(box, CB_GETLBTEXT, other, reinterpret_cast<LPARAM>(text)), CB_ERR) << "Wine has two drives";
  SendMessageA(box, CB_SETCURSEL, other, 0);
  ControlCommand(IDC_DRIVE_BOX, CBN_SELCHANGE);
  EXPECT_EQ(Chain(), std::string(text, 2));
  EXPECT_EQ(Text(IDC_PATH_BOX), std::string(text, 3));
  TypePath(game_);
  EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), own) << "the drive box follows the path box";
  SendMessageA(box, CB_SETCURSEL, other, 0);
  ControlCommand(IDC_DRIVE_BOX, CBN_SELCHANGE);
  SendMessageA(box, CB_SETCURSEL, own, 0);
  ControlCommand(IDC_DRIVE_BOX, CBN_SELCHANGE);
  EXPECT_EQ(Chain(), game_.substr(0, 2));
}

TEST_F(Browser, DoubleClicksNavigateDownAndUp) {
  Start();
  DoubleClick("sub");
  EXPECT_EQ(Chain(), game_ + "\\sub");
  EXPECT_EQ(Listing(), Texts{"deep.ifp/3"});
  EXPECT_EQ(Text(IDC_PATH_BOX), game_ + "\\sub\\");
  EXPECT_EQ(Children(TreeView_GetParent(Tree(), Find("sub"))).size(), 1u) << "the chain holds no other items";
  DoubleClick("game");
  EXPECT_EQ(Chain(), game_);
  EXPECT_EQ(Listing(true), kGameListing);
  DoubleClick("anim.img");
  EXPECT_EQ(Chain(), archive_);
  EXPECT_EQ(Listing(), kArchiveListing);
  EXPECT_EQ(Main().browser.state.browseArchive, archive_);
  std::string drive = game_.substr(0, 2);
  DoubleClick(drive);
  EXPECT_EQ(Chain(), drive);
  EXPECT_EQ(Text(IDC_PATH_BOX), drive + "\\");
  EXPECT_EQ(Main().browser.state.browseArchive, "");
}

TEST_F(Browser, DoubleClickOnAPackageOpensItFromAFolderOrAnArchive) {
  struct Case {
    const char* place;  // browsed first, "" to stay
    const char* item;
    int animations;
    bool fromArchive;
  } cases[] = {{"", "walk.ifp", 4, false}, {"anim.img", "run.ifp", 3, true}, {"", "idle.ifp", 2, true}};
  Start();
  for (const Case& c : cases) {
    if (*c.place) DoubleClick(c.place);
    DoubleClick(c.item);
    EXPECT_EQ(Title(), std::string(c.item) + " - Zelcor Animation Manager");
    EXPECT_EQ(Rows(IDC_ANIMATION_LIST), c.animations) << c.item;
    const DocumentState& document = Model().document();
    EXPECT_EQ(document.documentName, c.item);
    EXPECT_EQ(document.documentArchive, c.fromArchive ? archive_ : "");
    EXPECT_EQ(document.documentDirectory, c.fromArchive ? "" : game_ + "\\");
    EXPECT_EQ(TempFiles(), tempBefore_) << c.item;
    EXPECT_TRUE(Children(Find(c.item)).empty()) << "opening a package does not navigate into it";
  }
  // The entry is the document: Save writes it back there.
  Rename(IDC_ANIMATION_LIST, 0, "saved");
  Command(ID_IFP_SAVE);
  TypePath(game_);
  Command(ID_DIR_OPEN_CURRENT);
  EXPECT_EQ(Chain(), archive_);
  DoubleClick("idle.ifp");
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 0, 0), "saved");
}

TEST_F(Browser, DeclinedDiscardLeavesPackageTreeAndDocumentAsTheyWere) {
  Start({WritePackage("game\\walk.ifp", TestPackage(kFormatANPK, 4))});
  Rename(IDC_ANIMATION_LIST, 0, "edited");
  DoubleClick("anim.img");
  prompts_.answers = {IDCANCEL};
  DoubleClick("run.ifp");
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "Current editing will be lost.\nDo you want to continue?");
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(Cell(IDC_ANIMATION_LIST, 0, 0), "edited");
  EXPECT_EQ(Model().document().documentDirectory, game_ + "\\");
  EXPECT_EQ(Model().document().documentArchive, "");
  EXPECT_EQ(Chain(), archive_ + "\\run.ifp") << "the clicked item stays selected";
  EXPECT_EQ(Children(Find("anim.img")).size(), kArchiveListing.size());
}

TEST_F(Browser, ModelsOpenWithTheirDictionariesFromArchivesAndFolders) {
  Start();
  DoubleClick("ped.dff");
  EXPECT_FALSE(Model().character().mesh.textures.empty()) << "with ped.txd beside it";
  EXPECT_EQ(Setting("Preview", "Model"), game_ + "\\ped.dff");

  DoubleClick("anim.img");
  UnloadModel(ModelRole::Character);  // and forgets it
  Select("ped.dff");
  Command(ID_TREE_OPEN_SKINNED);
  EXPECT_FALSE(Model().character().mesh.textures.empty()) << "the dictionary came from the same archive";
  EXPECT_EQ(Setting("Preview", "Model"), "") << "the popup does not record the model";
  Select("gun.dff");
  Command(ID_TREE_OPEN_WEAPON);
  EXPECT_FALSE(Model().weapon().mesh.textures.empty());

  // A double-click records the entry so that the next start finds it.
  UnloadModel(ModelRole::Character);
  DoubleClick("ped.dff");
  EXPECT_GT(Model().character().boneCount, 0);
  const std::string recorded = Setting("Preview", "Model");
  EXPECT_EQ(recorded, archive_ + "\\ped.dff");
  UnloadModel(ModelRole::Character);
  EXPECT_TRUE(LoadModel(ModelRole::Character, recorded));
  EXPECT_FALSE(Model().character().mesh.textures.empty());
  EXPECT_FALSE(LoadModel(ModelRole::Character, archive_ + "\\gone.dff"));
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_TRUE(Children(Find("ped.dff")).empty());
}

TEST_F(Browser, ArchivesThatTurnUnreadableAndFailedLoadsLeaveNothingBehind) {
  Start();
  DoubleClick("anim.img");
  WriteFile(archive_, {'g', 'o', 'n', 'e'});
  DoubleClick("run.ifp");
  Select("ped.dff");
  Command(ID_TREE_OPEN_SKINNED);
  EXPECT_TRUE(prompts_.messages.empty()) << "the browser stops silently";
  EXPECT_EQ(Title(), "new - Zelcor Animation Manager");
  EXPECT_EQ(Model().character().boneCount, 0);

  // Entries that are no package or model: the reader and the loader say so.
  // A model without a dictionary loads untextured.
  std::vector<uint8_t> junk(300, 0x5A);
  WriteFile(archive_,
            gen::BuildImgArchive(
                {{"run.ifp", junk}, {"ped.dff", junk}, {"bare.dff", gen::BuildCharacterDff(gen::SmallCharacter())}}));
  DoubleClick("anim.img");
  DoubleClick("run.ifp");
  Select("ped.dff");
  Command(ID_TREE_OPEN_SKINNED);
  ASSERT_EQ(prompts_.messages.size(), 2u);
  EXPECT_EQ(prompts_.messages[0].text, "Unknown Format String.");
  EXPECT_EQ(prompts_.messages[1].text, "Unknown RW Version ID.");
  EXPECT_EQ(Model().document().documentArchive, "") << "what was not read is not the document";
  Select("bare.dff");
  Command(ID_TREE_OPEN_SKINNED);
  EXPECT_GT(Model().character().boneCount, 0);
  EXPECT_TRUE(Model().character().mesh.textures.empty());
}

// The popups the main window was about to show; once one is open and idle,
// the keys that choose from it are typed.
// A popup the keys did not close ends after a while, so a test cannot hang in it.
std::vector<HMENU> shownPopups;
std::vector<RECT> popupWindows;  // where the popups opened, on the screen
std::vector<WORD> menuKeys;
void CALLBACK EndStuckMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  EndMenu();
}
LRESULT CALLBACK WatchPopups(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_INITMENUPOPUP) {
    shownPopups.push_back(reinterpret_cast<HMENU>(call->wParam));
    SetTimer(nullptr, 0, 3000, EndStuckMenu);
  }
  if (code == HC_ACTION && call->message == WM_ENTERIDLE && call->wParam == MSGF_MENU && !menuKeys.empty()) {
    RECT rect{};
    if (GetWindowRect(FindWindowW(L"#32768", nullptr), &rect)) popupWindows.push_back(rect);
    for (WORD key : std::exchange(menuKeys, {})) SendKeys({key});
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A right click with the mouse, as a user makes it, on the tree of the
// program: the popup of a package or model opens once and its first command
// runs; folders and the empty part have none.
TEST_F(Browser, RightClickOffersThePopupOfPackagesAndModelsOnly) {
  Start();
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchPopups, nullptr, GetCurrentThreadId());
  struct Case {
    const char* item;  // nullptr: below the last item
    int popup;         // -1: none; otherwise its first command is chosen
  } cases[] = {{"sub", -1}, {nullptr, -1}, {"walk.ifp", 0}, {"ped.dff", 1}};
  for (const Case& c : cases) {
    shownPopups.clear();
    POINT at{};
    if (c.item) {
      HTREEITEM item = Find(c.item);
      TreeView_EnsureVisible(Tree(), item);
      at = Middle(item);
    } else {
      RECT client;
      GetClientRect(Tree(), &client);
      at = {20, client.bottom - 4};  // below the last item
    }
    menuKeys = c.popup < 0 ? std::vector<WORD>{} : std::vector<WORD>{VK_DOWN, VK_RETURN};
    ClickControl(IDC_BROWSER_TREE, at, Button::Right);
    Settle(200);
    ASSERT_EQ(shownPopups.size(), c.popup < 0 ? 0u : 1u) << (c.item ? c.item : "empty part");
    if (c.popup >= 0) {
      EXPECT_EQ(shownPopups[0], GetSubMenu(Main().treeMenu.get(), c.popup));
    }
  }
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager") << "Open";
  EXPECT_GT(Model().character().boneCount, 0) << "Open as Skinned Model";
}

// Shift+F10 and the menu key show the selected item's popup at the item, once.
TEST_F(Browser, KeysOpenTheSelectedItemsPopupAtTheItem) {
  Start();
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchPopups, nullptr, GetCurrentThreadId());
  const struct {
    const char* item;
    std::initializer_list<WORD> keys;
  } cases[] = {{"walk.ifp", {VK_SHIFT, VK_F10}}, {"ped.dff", {VK_APPS}}};
  for (const auto& c : cases) {
    shownPopups.clear();
    popupWindows.clear();
    HTREEITEM item = Find(c.item);
    TreeView_EnsureVisible(Tree(), item);
    ClickControl(IDC_BROWSER_TREE, Middle(item));
    menuKeys = {VK_DOWN, VK_RETURN};
    Press(c.keys);
    Settle(200);
    ASSERT_EQ(shownPopups.size(), 1u) << c.item;
    ASSERT_EQ(popupWindows.size(), 1u);
    RECT rect{};
    TreeView_GetItemRect(Tree(), item, &rect, TRUE);
    POINT corner{rect.left, rect.bottom};
    ClientToScreen(Tree(), &corner);
    EXPECT_EQ(popupWindows[0].left, corner.x) << "at the item";
    EXPECT_EQ(popupWindows[0].top, corner.y);
  }
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager") << "Open";
  EXPECT_GT(Model().character().boneCount, 0) << "Open as Skinned Model";
}

// The entries' names in directory order, and each one's bytes.
std::vector<std::pair<std::string, std::vector<uint8_t>>> ArchiveContents(const std::string& archive) {
  std::vector<ImgEntry> entries;
  ListImgEntries(archive, entries);
  std::vector<std::pair<std::string, std::vector<uint8_t>>> contents;
  for (const ImgEntry& entry : entries) {
    std::vector<uint8_t> bytes;
    ReadImgEntry(archive, ImgEntryName(entry), bytes);
    contents.emplace_back(ImgEntryName(entry), bytes);
  }
  return contents;
}

// A drop of files onto the main window at `at` (the window's client
// coordinates), as the shell hands it over.
void DropFiles(HWND window, POINT at, const std::vector<std::string>& paths) {
  std::wstring names;
  for (const std::string& path : paths) names += WideFromUtf8(path) + L'\0';
  names += L'\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = at;
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// The popups of an archive's entries and of the archive, chosen by their
// access keys after a right click: a rename typed in place, a delete asked
// about, an import from the file dialog that asks before replacing, a
// rebuild; and files dropped onto the archive. The tree shows each result
// at once and every other entry keeps its bytes.
TEST_F(Browser, ArchivePopupsAndDropsChangeTheArchiveAndTheTreeAtOnce) {
  Start();
  DoubleClick("anim.img");
  ASSERT_EQ(Listing(), kArchiveListing);
  auto before = ArchiveContents(archive_);
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchPopups, nullptr, GetCurrentThreadId());
  auto choose = [&](const char* item, WORD key) {
    HTREEITEM found = Find(item);
    ASSERT_NE(found, nullptr) << item;
    TreeView_EnsureVisible(Tree(), found);
    menuKeys = {key};
    ClickControl(IDC_BROWSER_TREE, Middle(found), Button::Right);
    Settle(200);
  };

  choose("run.ifp", 'N');  // Rename Entry
  HWND edit = TreeView_GetEditControl(Tree());
  ASSERT_NE(edit, nullptr) << "no edit of the name";
  SendText("jog.ifp");
  Settle();
  Press({VK_RETURN});
  EXPECT_FALSE(IsWindow(edit));
  Select("anim.img");
  EXPECT_EQ(Listing(), (Texts{"jog.ifp/3", "idle.ifp/3", "ped.dff/4", "gun.dff/4"}));

  prompts_.answers = {IDYES};
  choose("idle.ifp", 'D');  // Delete Entry
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, std::string(msg::kDeleteEntryQuestion) + "\nidle.ifp");
  EXPECT_EQ(Listing(), (Texts{"jog.ifp/3", "ped.dff/4", "gun.dff/4"}));

  prompts_.chosenPaths = {game_ + "\\walk.ifp", game_ + "\\walk.ifp"};
  prompts_.answers = {IDNO};
  choose("anim.img", 'I');  // Import File, from the archive's own popup
  choose("ped.dff", 'I');   // the same name again: not replaced
  EXPECT_EQ(Listing(), (Texts{"jog.ifp/3", "walk.ifp/3", "ped.dff/4", "gun.dff/4"}));
  EXPECT_EQ(prompts_.messages.back().text, std::string(msg::kReplaceEntryQuestion) + "\nwalk.ifp");

  // Dropped onto the archive's item: a new entry, then one replaced when the user agrees.
  HTREEITEM archiveItem = Find("anim.img");
  POINT at = Middle(archiveItem);
  ClientToScreen(Tree(), &at);
  ScreenToClient(window_, &at);
  const std::string title = Title();
  prompts_.answers = {IDYES};
  DropFiles(window_, at, {game_ + "\\sub\\deep.ifp"});
  DropFiles(window_, at, {game_ + "\\sub\\deep.ifp"});
  Pump();
  EXPECT_EQ(Listing(), (Texts{"jog.ifp/3", "walk.ifp/3", "deep.ifp/3", "ped.dff/4", "gun.dff/4"}));
  EXPECT_EQ(Title(), title) << "a drop onto an archive opens nothing";

  uint64_t sizeBefore = std::filesystem::file_size(std::filesystem::u8path(archive_));
  choose("anim.img", 'R');  // Rebuild Archive
  UnhookWindowsHookEx(hook);
  auto size = [&] { return std::filesystem::file_size(std::filesystem::u8path(archive_)); };
  for (int wait = 0; wait < 30 && size() == sizeBefore; ++wait) Settle(100);  // a loaded machine may be slow
  EXPECT_LT(size(), sizeBefore);
  std::vector<ImgEntry> entries;
  ASSERT_EQ(ListImgEntries(archive_, entries), ImgListResult::Listed);
  uint32_t next = 1;
  for (const ImgEntry& entry : entries) {
    EXPECT_EQ(entry.offset, next) << ImgEntryName(entry) << ": packed without holes";
    next += entry.size;
  }
  auto after = ArchiveContents(archive_);
  ASSERT_EQ(after.size(), 7u);
  EXPECT_EQ(after[0], before[0]) << "ped.dff";
  EXPECT_EQ(after[1].second, before[1].second) << "jog.ifp, once run.ifp";
  EXPECT_EQ(after[2], before[2]) << "ped.txd";
  EXPECT_EQ(after[3], before[3]) << "gun.dff";
  EXPECT_EQ(after[4], before[5]) << "gun.txd";
  EXPECT_EQ(Listing(), (Texts{"jog.ifp/3", "walk.ifp/3", "deep.ifp/3", "ped.dff/4", "gun.dff/4"}));
}

// Folders and files of any script by their paths, archive entries by their
// bytes through the code page: shown whole, browsed, opened, and named whole
// in the title.
TEST_F(Browser, NamesOfAnyScriptAreShownBrowsedAndOpened) {
  const std::string games = Path("Игры");
  ASSERT_TRUE(CreateDirectoryW(WideFromUtf8(games).c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(WideFromUtf8(games + "\\Модели").c_str(), nullptr));
  WritePackage("Игры\\прыжок.ifp", TestPackage(kFormatANPK, 2));
  WriteFile(games + "\\動き.dff", gen::BuildWeaponDff(gen::DemoWeapon()));
  std::vector<uint8_t> cafe;
  WriteIfp(TestPackage(kFormatANP3, 3), cafe);
  WriteFile(games + "\\архив.img", gen::BuildImgArchive({{"caf\xE9.ifp", cafe}}));
  Start();
  BrowseTo(Main().browser, games + "\\");
  EXPECT_EQ(Listing(true), (Texts{"Модели/0+", "архив.img/2+", "прыжок.ifp/3", "動き.dff/4"}));

  DoubleClick("прыжок.ifp");
  EXPECT_EQ(Title(), "прыжок.ifp - Zelcor Animation Manager");
  EXPECT_EQ(Model().document().documentDirectory, games + "\\");
  DoubleClick("архив.img");
  const std::string shownCafe = Utf8FromWide(WideFromCodePage("caf\xE9.ifp"));
  DoubleClick(shownCafe);
  EXPECT_EQ(Model().document().documentName, "caf\xE9.ifp") << "the entry's own bytes";
  EXPECT_EQ(Title(), shownCafe + " - Zelcor Animation Manager");
  EXPECT_EQ(Model().package().animationCount(), 3);

  ClickControl(IDC_PATH_BOX, {10, 8});
  Press({VK_HOME});
  Press({VK_SHIFT, VK_END});
  SendText(games + "\\Модели");
  ClickControl(IDC_PATH_GO, {4, 4});
  EXPECT_EQ(Main().browser.state.browsePath, games + "\\Модели\\");
}

// Entering an archive at the end of a chain wider than the tree leaves the
// tree at its left edge; a name cut there is read whole in its info tip.
TEST_F(Browser, TheChainStaysReadableAndLongNamesHaveInfoTips) {
  const std::string deep = game_ + "\\all animations of every character\\one more folder with a long name";
  ASSERT_TRUE(CreateDirectoryW(WideFromUtf8(game_ + "\\all animations of every character").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(WideFromUtf8(deep).c_str(), nullptr));
  const std::string longName = "очень длинное имя анимации, которое не помещается.ifp";
  WriteFile(deep + "\\" + longName, {1});
  WriteFile(deep + "\\archive of many animations.img", ReadFile(archive_));
  Start();
  BrowseTo(Main().browser, deep + "\\");
  HTREEITEM item = Find(longName);
  RECT client{}, text{};
  GetClientRect(Tree(), &client);
  TreeView_GetItemRect(Tree(), item, &text, TRUE);
  EXPECT_GT(text.right, client.right) << "cut by the tree's edge";
  wchar_t tip[INFOTIPSIZE] = {};
  NMTVGETINFOTIPW ask{};
  ask.hdr = {Tree(), IDC_BROWSER_TREE, TVN_GETINFOTIPW};
  ask.pszText = tip;
  ask.cchTextMax = INFOTIPSIZE;
  ask.hItem = item;
  TVITEMW param{};
  param.mask = TVIF_PARAM | TVIF_HANDLE;
  param.hItem = item;
  SendMessageW(Tree(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&param));
  ask.lParam = param.lParam;
  SendMessageW(window_, WM_NOTIFY, IDC_BROWSER_TREE, reinterpret_cast<LPARAM>(&ask));
  EXPECT_EQ(Utf8FromWide(tip), longName);

  TreeView_EnsureVisible(Tree(), Find("archive of many animations.img"));
  ASSERT_GT(HorizontalScroll(), 0) << "the chain is wider than the tree";
  DoubleClick("archive of many animations.img");
  EXPECT_EQ(HorizontalScroll(), 0) << "back at the left edge";
  EXPECT_EQ(Chain().substr(0, 2), game_.substr(0, 2)) << "the drive's item in view";
}

TEST_F(Browser, InitialDirectoryIsSetForTheNextStart) {
  Start();
  DoubleClick("sub");
  Command(ID_DIR_SET_INITIAL);
  EXPECT_EQ(Setting("Directory", "InitDir"), game_ + "\\sub\\");
  DoubleClick(game_.substr(0, 2));
  Command(ID_DIR_OPEN_INITIAL);
  EXPECT_EQ(Chain(), game_) << "the directory read at start-up";
  Close();
  Start();
  EXPECT_EQ(Chain(), game_ + "\\sub");
  Command(ID_DIR_OPEN_CURRENT);
  EXPECT_EQ(Chain(), game_ + "\\sub") << "a new document has no place";
}

TEST_F(Browser, ShowDffFilesIsKeptAndHidesModelsFromRefreshesOnly) {
  Start();
  Command(ID_DIR_SHOW_DFF);
  EXPECT_FALSE(MenuState(ID_DIR_SHOW_DFF) & MF_CHECKED);
  EXPECT_EQ(Setting("Directory", "ShowDFF"), "0");
  EXPECT_EQ(Listing(true), kGameWithoutModels);
  Close();
  Start();
  EXPECT_FALSE(MenuState(ID_DIR_SHOW_DFF) & MF_CHECKED);
  EXPECT_EQ(Listing(true), kGameWithoutModels);
  DoubleClick("game");  // collapses the browsed folder: navigating lists models
  EXPECT_EQ(Listing(true), kGameListing);
  DoubleClick("anim.img");
  EXPECT_EQ(Listing(), kArchiveListing);
  Command(ID_DIR_SHOW_DFF);
  EXPECT_TRUE(MenuState(ID_DIR_SHOW_DFF) & MF_CHECKED);
  EXPECT_EQ(Setting("Directory", "ShowDFF"), "1");
}

}  // namespace
}  // namespace zam::test
