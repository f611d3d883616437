// The browser pane driven with real messages on a generated folder of
// packages, models and an archive: the chain and listing after start-up,
// the path box, the drive box and double-clicks; opening packages and models
// from folders and archives; the Directory menu across restarts.

#include <algorithm>
#include <cstring>
#include <set>

#include "anim/ifp_writer.h"
#include "app/win32/preview_models.h"
#include "demo_models.h"
#include "editor_fixture.h"
#include "img_builder.h"
#include "resource.h"

namespace zam::test {
namespace {

// The files the temporary-file service made and nobody deleted.
std::set<std::string> TempFiles() {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  for (const char* prefix : {"ifp", "dff", "txd"}) {
    HANDLE find = FindFirstFileA((std::string(folder) + prefix + "*.tmp").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) continue;
    do names.insert(found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
  }
  return names;
}

// game\ holds a package, a model with its dictionary, a text file, a
// folder with a package, and an archive of packages and models.
class Browser : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    game_ = Path("game");
    CreateDirectoryA(game_.c_str(), nullptr);
    CreateDirectoryA((game_ + "\\sub").c_str(), nullptr);
    WritePackage("game\\walk.ifp", TestPackage(kFormatANPK, 4));
    WritePackage("game\\sub\\deep.ifp", TestPackage(kFormatANPK, 1));
    WriteFile(game_ + "\\ped.dff", gen::BuildCharacterDff(gen::SmallCharacter()));
    WriteFile(game_ + "\\ped.txd", gen::BuildTxd(gen::SmallCharacterTextures()));
    WriteFile(game_ + "\\notes.txt", {'h', 'i'});
    std::vector<uint8_t> run, idle;
    WriteIfp(TestPackage(kFormatANP3, 3), run);
    WriteIfp(TestPackage(kFormatANPK, 2), idle);
    archive_ = game_ + "\\anim.img";
    WriteFile(archive_, gen::BuildImgArchive({{"ped.dff", gen::BuildCharacterDff(gen::SmallCharacter())},
                                              {"run.ifp", run},
                                              {"ped.txd", gen::BuildTxd(gen::SmallCharacterTextures())},
                                              {"gun.dff", gen::BuildWeaponDff(gen::DemoWeapon())},
                                              {"idle.ifp", idle},
                                              {"gun.txd", gen::BuildTxd(gen::DemoWeaponTextures())}}));
    settings_ = "[Directory]\nInitDir=" + game_ + "\n";
    WriteSettings(settings_);
    tempBefore_ = TempFiles();
  }

  void TearDown() override {
    EXPECT_EQ(TempFiles(), tempBefore_) << "a temporary file was left behind";
    EditorTest::TearDown();
  }

  HWND Tree() const { return Item(IDC_BROWSER_TREE); }
  std::string ItemText(HTREEITEM item) const {
    char text[260] = {};
    TVITEMA query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return text;
  }
  int ItemImage(HTREEITEM item) const {
    TVITEMA query{};
    query.mask = TVIF_IMAGE | TVIF_HANDLE;
    query.hItem = item;
    SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return query.iImage;
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
    for (HTREEITEM item = TreeView_GetSelection(Tree()); item; item = TreeView_GetParent(Tree(), item)) {
      chain = ItemText(item) + (chain.empty() ? "" : "\\" + chain);
    }
    return chain;
  }
  // The browsed item's children: "text/icon", with "+" for a placeholder child.
  std::vector<std::string> Listing() const {
    std::vector<std::string> texts;
    for (HTREEITEM item : Children(TreeView_GetSelection(Tree()))) {
      std::vector<HTREEITEM> below = Children(item);
      std::string mark = below.size() == 1 && ItemText(below[0]) == "Loading..." ? "+" : below.empty() ? "" : "?";
      texts.push_back(ItemText(item) + "/" + std::to_string(ItemImage(item)) + mark);
    }
    return texts;
  }
  std::vector<std::string> SortedListing() const {
    std::vector<std::string> texts = Listing();
    std::sort(texts.begin(), texts.end());
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
  // A double-click as the mouse makes it: down, up, double-click, up.
  void DoubleClick(const std::string& text) {
    HTREEITEM item = Find(text);
    ASSERT_NE(item, nullptr) << text;
    TreeView_EnsureVisible(Tree(), item);
    RECT rect;
    std::memcpy(&rect, &item, sizeof item);  // the message takes the item in the rectangle
    ASSERT_TRUE(SendMessageA(Tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
      PostMessageA(Tree(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    }
    Pump();
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
  std::string Setting(const char* section, const char* key) {
    char text[300] = {};
    GetPrivateProfileStringA(section, key, "", text, sizeof text, Path("ZelcorAnimManager.ini").c_str());
    return text;
  }
  void Restart() {
    Close();
    Start();
  }

  std::string game_;
  std::string archive_;
  std::string settings_;
  std::set<std::string> tempBefore_;
};

// Sorted; notes.txt is not listed.
const std::vector<std::string> kGameListing = {"anim.img/2+", "ped.dff/4", "sub/0+", "walk.ifp/3"};
const std::vector<std::string> kArchiveListing = {"run.ifp/3", "idle.ifp/3", "ped.dff/4", "gun.dff/4"};

std::vector<std::string> Without(std::vector<std::string> texts, const std::string& text) {
  texts.erase(std::remove(texts.begin(), texts.end(), text), texts.end());
  return texts;
}

TEST_F(Browser, StartsInTheInitialDirectory) {
  Start();
  EXPECT_EQ(Chain(), game_);
  EXPECT_EQ(SortedListing(), kGameListing);
  EXPECT_EQ(ItemImage(TreeView_GetRoot(Tree())), 5) << "the drive";
  EXPECT_EQ(ItemImage(TreeView_GetParent(Tree(), TreeView_GetSelection(Tree()))), 1) << "a folder of the chain";
  EXPECT_EQ(Text(IDC_PATH_BOX), game_ + "\\");
  EXPECT_EQ(Text(IDC_DRIVE_BOX).substr(0, 3), game_.substr(0, 2) + "\\");
  EXPECT_EQ(GetWindowLongPtrA(Tree(), GWL_STYLE) & 0xFFFF, TVS_SHOWSELALWAYS | TVS_INFOTIP)
      << "no expand buttons and no lines";
  EXPECT_EQ(State().browser.state.browseArchive, "");
}

TEST_F(Browser, WithoutShowDffARefreshHidesModelsButNavigatingShowsThem) {
  WriteSettings(settings_ + "ShowDFF=0\n");
  Start();
  EXPECT_EQ(SortedListing(), Without(kGameListing, "ped.dff/4"));
  DoubleClick(ItemText(TreeView_GetSelection(Tree())));  // collapses the browsed folder: lists it afresh
  EXPECT_EQ(Chain(), game_);
  EXPECT_EQ(SortedListing(), kGameListing);
  DoubleClick("anim.img");
  EXPECT_EQ(Listing(), kArchiveListing);
}

TEST_F(Browser, PathBoxBrowsesFoldersAndArchivesAndRefusesTheRest) {
  Start();
  struct Case {
    std::string typed;
    std::string message;  // empty: accepted
    std::string chain;
    std::vector<std::string> listing;
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
    if (c.message.empty()) {
      EXPECT_TRUE(prompts_.messages.empty()) << c.typed;
    } else {
      ASSERT_EQ(prompts_.messages.size(), 1u) << c.typed;
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
  char home = game_[0];
  int other = -1, own = -1;
  for (int i = 0; i < SendMessageA(box, CB_GETCOUNT, 0, 0); ++i) {
    char text[300] = {};
    SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    (text[0] == home ? own : other) = i;
  }
  ASSERT_GE(other, 0) << "Wine has more than one drive";
  char text[300] = {};
  SendMessageA(box, CB_GETLBTEXT, other, reinterpret_cast<LPARAM>(text));
  SendMessageA(box, CB_SETCURSEL, other, 0);
  ControlCommand(IDC_DRIVE_BOX, CBN_SELCHANGE);
  EXPECT_EQ(Chain(), std::string(text, 2));
  EXPECT_EQ(Text(IDC_PATH_BOX), std::string(text, 3));
  SendMessageA(box, CB_SETCURSEL, own, 0);
  ControlCommand(IDC_DRIVE_BOX, CBN_SELCHANGE);
  EXPECT_EQ(Chain(), game_.substr(0, 2));
  // The path box moves the drive box along.
  TypePath(game_);
  EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), own);
}

TEST_F(Browser, DoubleClicksNavigateDownAndUp) {
  Start();
  DoubleClick("sub");
  EXPECT_EQ(Chain(), game_ + "\\sub");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"deep.ifp/3"}));
  EXPECT_EQ(Text(IDC_PATH_BOX), game_ + "\\sub\\");
  EXPECT_EQ(Children(TreeView_GetParent(Tree(), Find("sub"))).size(), 1u) << "the chain holds no other items";
  DoubleClick("game");
  EXPECT_EQ(Chain(), game_);
  EXPECT_EQ(SortedListing(), kGameListing);
  DoubleClick("anim.img");
  EXPECT_EQ(Chain(), archive_);
  EXPECT_EQ(Listing(), kArchiveListing);
  EXPECT_EQ(State().browser.state.browseArchive, archive_);
  std::string drive = game_.substr(0, 2);
  DoubleClick(drive);
  EXPECT_EQ(Chain(), drive);
  EXPECT_EQ(Text(IDC_PATH_BOX), drive + "\\");
  EXPECT_EQ(State().browser.state.browseArchive, "");
}

TEST_F(Browser, DoubleClickOnAPackageOpensItFromAFolderOrAnArchive) {
  struct Case {
    const char* place;  // browsed first, "" for the initial directory
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
    const DocumentState& document = State().document;
    EXPECT_EQ(document.documentName, c.item);
    EXPECT_EQ(document.documentArchive, c.fromArchive ? archive_ : "");
    EXPECT_EQ(document.documentDirectory, c.fromArchive ? "" : game_ + "\\");
    EXPECT_EQ(TempFiles(), tempBefore_) << c.item;
    EXPECT_TRUE(Children(Find(c.item)).empty()) << "opening a package does not navigate into it";
  }
  // The entry is the document: Save writes it back there.
  Rename(IDC_ANIMATION_LIST, 0, "saved");
  Command(ID_IFP_SAVE);
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
  EXPECT_EQ(State().document.documentDirectory, game_ + "\\");
  EXPECT_EQ(State().document.documentArchive, "");
  EXPECT_EQ(Chain(), archive_ + "\\run.ifp") << "the clicked item stays selected";
  EXPECT_EQ(Children(Find("anim.img")).size(), kArchiveListing.size());
}

TEST_F(Browser, ModelsOpenFromAnArchiveWithTheirDictionaries) {
  Start();
  DoubleClick("anim.img");
  Select("ped.dff");
  Command(ID_TREE_OPEN_SKINNED);
  EXPECT_GT(State().character.boneCount, 0);
  EXPECT_FALSE(State().character.mesh.textures.empty()) << "the dictionary came from the same archive";
  EXPECT_EQ(Setting("Preview", "Model"), "") << "the popup does not record the model";
  Select("gun.dff");
  Command(ID_TREE_OPEN_WEAPON);
  EXPECT_FALSE(State().weapon.vertices.empty());
  EXPECT_FALSE(State().weapon.mesh.textures.empty());
  EXPECT_TRUE(prompts_.messages.empty());

  // A double-click records the entry so that the next start finds it.
  UnloadModel(State(), ModelRole::Character);
  DoubleClick("ped.dff");
  EXPECT_GT(State().character.boneCount, 0);
  EXPECT_EQ(Setting("Preview", "Model"), archive_ + "\\ped.dff");
  UnloadModel(State(), ModelRole::Character);
  EXPECT_TRUE(LoadModelPath(State(), ModelRole::Character, Setting("Preview", "Model"), true));
  EXPECT_FALSE(State().character.mesh.textures.empty());
  EXPECT_FALSE(LoadModelPath(State(), ModelRole::Character, archive_ + "\\gone.dff", true));
  EXPECT_TRUE(prompts_.messages.empty());
}

// The fixture's check that no temporary file is left runs after these too.
TEST_F(Browser, ArchivesThatTurnUnreadableAndFailedLoadsLeaveNothingBehind) {
  Start();
  DoubleClick("anim.img");
  WriteFile(archive_, {'g', 'o', 'n', 'e'});
  DoubleClick("run.ifp");
  Select("ped.dff");
  Command(ID_TREE_OPEN_SKINNED);
  EXPECT_TRUE(prompts_.messages.empty()) << "the browser stops silently";
  EXPECT_EQ(Title(), "new - Zelcor Animation Manager");
  EXPECT_EQ(State().character.boneCount, 0);

  // Entries that are no package or model: the reader and the loader say so.
  // A model without a dictionary loads untextured.
  std::vector<uint8_t> junk(300, 0x5A);
  WriteFile(archive_, gen::BuildImgArchive({{"run.ifp", junk},
                                            {"ped.dff", junk},
                                            {"bare.dff", gen::BuildCharacterDff(gen::SmallCharacter())}}));
  DoubleClick("anim.img");
  DoubleClick("run.ifp");
  Select("ped.dff");
  Command(ID_TREE_OPEN_SKINNED);
  ASSERT_EQ(prompts_.messages.size(), 2u);
  EXPECT_EQ(prompts_.messages[0].text, "Unknown Format String.");
  EXPECT_EQ(prompts_.messages[1].text, "Unknown RW Version ID.");
  EXPECT_EQ(Title(), "new - Zelcor Animation Manager");
  EXPECT_EQ(State().document.documentArchive, "") << "what was not read is not the document";
  Select("bare.dff");
  Command(ID_TREE_OPEN_SKINNED);
  EXPECT_GT(State().character.boneCount, 0);
  EXPECT_TRUE(State().character.mesh.textures.empty());
  EXPECT_EQ(prompts_.messages.size(), 2u);
}

TEST_F(Browser, ModelFileOpensWithTheDictionaryBesideIt) {
  Start();
  DoubleClick("ped.dff");
  EXPECT_GT(State().character.boneCount, 0);
  EXPECT_FALSE(State().character.mesh.textures.empty());
  EXPECT_EQ(Setting("Preview", "Model"), game_ + "\\ped.dff");
  EXPECT_TRUE(Children(Find("ped.dff")).empty());
}

// The popups the main window was about to show.
std::vector<HMENU> shownPopups;
LRESULT CALLBACK RecordPopups(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_INITMENUPOPUP) shownPopups.push_back(reinterpret_cast<HMENU>(call->wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Browser, RightClickOffersThePopupOfPackagesAndModelsOnly) {
  Start();
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordPopups, nullptr, GetCurrentThreadId());
  struct Case {
    const char* item;  // nullptr: below the last item
    int popup;         // -1: none; otherwise its first command is chosen
  } cases[] = {{"sub", -1}, {nullptr, -1}, {"walk.ifp", 0}, {"ped.dff", 1}};
  for (const Case& c : cases) {
    shownPopups.clear();
    RECT rect;
    HTREEITEM item = Find(c.item ? c.item : "walk.ifp");
    std::memcpy(&rect, &item, sizeof item);
    SendMessageA(Tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
    POINT at{rect.left + 4, c.item ? (rect.top + rect.bottom) / 2 : rect.bottom + 200};
    ClientToScreen(Tree(), &at);
    // Keys for the popup's own message loop: the first command, or away.
    for (WPARAM key : c.popup < 0 ? std::vector<WPARAM>{VK_ESCAPE} : std::vector<WPARAM>{VK_DOWN, VK_RETURN}) {
      PostMessageA(Tree(), WM_KEYDOWN, key, 0);
    }
    SendMessageA(Tree(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree()), MAKELPARAM(at.x, at.y));
    Pump();
    if (c.popup < 0) {
      EXPECT_TRUE(shownPopups.empty()) << (c.item ? c.item : "empty part");
    } else {
      ASSERT_EQ(shownPopups.size(), 1u) << c.item;
      EXPECT_EQ(shownPopups[0], GetSubMenu(State().treeMenu.get(), c.popup));
      EXPECT_EQ(ItemText(TreeView_GetSelection(Tree())), c.item);
    }
  }
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager") << "Open";
  EXPECT_GT(State().character.boneCount, 0) << "Open as Skinned Model";
}

TEST_F(Browser, InitialDirectoryIsSetForTheNextStart) {
  Start();
  DoubleClick("sub");
  Command(ID_DIR_SET_INITIAL);
  EXPECT_EQ(Setting("Directory", "InitDir"), game_ + "\\sub\\");
  DoubleClick(game_.substr(0, 2));
  Command(ID_DIR_OPEN_INITIAL);
  EXPECT_EQ(Chain(), game_) << "the directory read at start-up";
  Restart();
  EXPECT_EQ(Chain(), game_ + "\\sub");
  Command(ID_DIR_OPEN_CURRENT);
  EXPECT_EQ(Chain(), game_ + "\\sub") << "a new document has no place";
}

TEST_F(Browser, ShowDffFilesIsToggledAndKept) {
  Start();
  Command(ID_DIR_SHOW_DFF);
  EXPECT_FALSE(MenuState(ID_DIR_SHOW_DFF) & MF_CHECKED);
  EXPECT_EQ(Setting("Directory", "ShowDFF"), "0");
  EXPECT_EQ(SortedListing(), Without(kGameListing, "ped.dff/4"));
  Restart();
  EXPECT_FALSE(MenuState(ID_DIR_SHOW_DFF) & MF_CHECKED);
  EXPECT_EQ(SortedListing(), Without(kGameListing, "ped.dff/4"));
  Command(ID_DIR_SHOW_DFF);
  EXPECT_TRUE(MenuState(ID_DIR_SHOW_DFF) & MF_CHECKED);
  EXPECT_EQ(Setting("Directory", "ShowDFF"), "1");
  EXPECT_EQ(SortedListing(), kGameListing);
}

}  // namespace
}  // namespace zam::test
