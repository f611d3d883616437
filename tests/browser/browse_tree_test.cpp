// What the browser tree shows: browse paths cut back to places that exist,
// chains, listings of real folders and generated archives, navigation, the
// items' files, and the path box's verdicts.

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "browser/browse_tree.h"
#include "img/archive_entry_path.h"
#include "img_builder.h"
#include "support/scratch_folder.h"

namespace zam {
namespace {

using gen::BuildImgArchive;
using gen::PatternData;
using test::ScratchFolder;

// "text/Icon" an item, "+" when it expands, joined by spaces; folders list in
// the file system's order, which differs between systems: `sorted` sorts.
std::string Describe(const std::vector<BrowseItem>& items, bool sorted = false) {
  static const char* const kIcons[] = {"Folder", "OpenFolder", "Archive", "Package", "Model", "Drive"};
  std::vector<std::string> texts;
  for (const BrowseItem& item : items)
    texts.push_back(item.text + "/" + kIcons[static_cast<int>(item.icon)] + (item.expandable ? "+" : ""));
  if (sorted) std::sort(texts.begin(), texts.end());
  std::string text;
  for (const std::string& one : texts) text += (text.empty() ? "" : " ") + one;
  return text;
}

// games\: packages, a model with its dictionary, other files, a folder, an
// archive, a folder named like an archive, and a text file named like one.
class BrowseFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    scratch_.MakeFolder("games/sub");
    scratch_.MakeFolder("games/odd.img");
    scratch_.MakeFolder("caps");
    for (const char* name : {"games/walk.ifp", "games/RUN.IFP", "games/ped.dff", "games/ped.txd", "games/notes.txt"}) {
      scratch_.Write(name, {1, 2, 3});
    }
    scratch_.Write("games/anim.img", BuildImgArchive({{"b.dff", PatternData(100, 1)},
                                                      {"jump.ifp", PatternData(3000, 2)},
                                                      {"b.txd", PatternData(100, 3)},
                                                      {"Idle.IFP", PatternData(10, 4)},
                                                      {"a.DFF", PatternData(10, 5)}}));
    scratch_.Write("games/broken.img", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'g'});
    scratch_.Write("caps/DATA.IMG", BuildImgArchive({}));
  }
  std::string At(const std::string& name) const { return scratch_.ProgramPath(name); }

  ScratchFolder scratch_;
};

TEST_F(BrowseFolder, PathsAreCutBackToAPlaceThatExists) {
  const std::string games = At("games") + "\\";
  struct Case {
    std::string path;
    std::string expected;
  } cases[] = {
      {At("games"), games},
      {games, games},
      {At("games/notes.txt"), games},
      {At("games/gone/deeper/still"), games},
      {At("games/anim.img"), At("games/anim.img") + "\\"},
      {At("games/ANIM.IMG") + "\\", At("games/ANIM.IMG") + "\\"},
      {At("games/missing.img"), At("games/missing.img") + "\\"},  // kept: an archive lists nothing
      {At("games/anim.img/inside"), games},
      {"no-such-place", "Q:\\"},
      {"", "Q:\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseBrowsePath(c.path, 'Q'), c.expected) << c.path;
}

TEST(BrowseChain, OneItemPerComponentFromTheDriveDown) {
  const std::tuple<std::string, std::string, std::string> cases[] = {  // path, chain, the last item's path
      {"C:\\", "C:/Drive", "C:\\"},
      {"C:\\games\\x.img\\", "C:/Drive games/OpenFolder x.img/Archive", "C:\\games\\x.img\\"},
      {"d:\\\\a\\\\B.IMG\\sub", "d:/Drive a/OpenFolder B.IMG/Archive sub/OpenFolder", "d:\\a\\B.IMG\\sub\\"},
  };
  for (const auto& [path, expected, joined] : cases) {
    std::vector<BrowseItem> chain = BrowseChain(path);
    EXPECT_EQ(Describe(chain), expected) << path;
    EXPECT_EQ(ChainPath(chain, chain.size()), joined) << path;
    EXPECT_EQ(ChainPath(chain, 1), path.substr(0, 2) + "\\") << path;
  }
}

// Folders list models only when asked; archives put packages first, in directory order.
TEST_F(BrowseFolder, FolderAndArchiveListingsFollowTheRules) {
  std::string listing = "RUN.IFP/Package anim.img/Archive+ broken.img/Archive+ odd.img/Archive+ odd.img/Folder+ "
                        "ped.dff/Model sub/Folder+ walk.ifp/Package";
  EXPECT_EQ(Describe(FolderListing(At("games"), true), true), listing);
  EXPECT_EQ(Describe(FolderListing(At("games") + "\\", false), true), listing.erase(listing.find("ped.dff"), 14));
  EXPECT_TRUE(FolderListing(At("games/sub"), true).empty());
  EXPECT_TRUE(FolderListing(At("games/gone"), true).empty());
  EXPECT_EQ(Describe(ArchiveListing(At("games/anim.img"), true)),
            "jump.ifp/Package Idle.IFP/Package b.dff/Model a.DFF/Model");
  EXPECT_EQ(Describe(ArchiveListing(At("games/anim.img"), false)), "jump.ifp/Package Idle.IFP/Package");
  for (const char* unreadable : {"games/broken.img", "games/missing.img", "games/odd.img", "games/walk.ifp"}) {
    EXPECT_TRUE(ArchiveListing(At(unreadable), true).empty()) << unreadable;
  }
  // A version 1 pair: the ".img" is listed, and browsed, as an archive.
  scratch_.MakeFolder("v1");
  gen::ImgPairBytes pair = gen::BuildImgPair({{"old.ifp", PatternData(10, 1)}, {"old.dff", PatternData(10, 2)}});
  scratch_.Write("v1/GTA3.IMG", pair.data);
  scratch_.Write("v1/GTA3.DIR", pair.directory);
  EXPECT_EQ(Describe(FolderListing(At("v1"), true), true), "GTA3.IMG/Archive+");
  EXPECT_EQ(Describe(ArchiveListing(At("v1/GTA3.IMG"), true)), "old.ifp/Package old.dff/Model");
}

TEST_F(BrowseFolder, RefreshListsModelsOnlyWithShowDffButNavigationAlways) {
  struct Case {
    std::string path;
    bool showDff;
    ListingRules rules;
    size_t items;
    bool models;
    std::string archive;
  } cases[] = {
      {At("games") + "\\", true, ListingRules::Refresh, 8, true, ""},
      {At("games") + "\\", false, ListingRules::Refresh, 7, false, ""},
      {At("games") + "\\", false, ListingRules::Navigation, 8, true, ""},
      {At("games/anim.img") + "\\", false, ListingRules::Refresh, 2, false, At("games/anim.img")},
      {At("games/anim.img") + "\\", false, ListingRules::Navigation, 4, true, At("games/anim.img")},
      {At("games/anim.img") + "\\", true, ListingRules::Refresh, 4, true, At("games/anim.img")},
  };
  for (const Case& c : cases) {
    BrowseState state;
    state.browsePath = c.path;
    state.showDff = c.showDff;
    state.browseArchive = "left over";
    std::vector<BrowseItem> items = ListBrowsedPlace(state, c.rules);
    EXPECT_EQ(items.size(), c.items) << c.path;
    bool models = std::any_of(items.begin(), items.end(), [](const BrowseItem& i) { return i.icon == BrowseIcon::Model; });
    EXPECT_EQ(models, c.models) << c.path;
    EXPECT_EQ(state.browseArchive, c.archive) << c.path;
  }
}

// Ids name the chain's and the listing's items; 0 names none.
TEST(BrowseItemIds, PackIntoTheIntegerTheTreeKeepsAndBack) {
  using Part = BrowseItemId::Part;
  BrowseState state;
  state.chain = BrowseChain("C:\\games\\");
  state.listing = {{"walk.ifp", BrowseIcon::Package, false}};
  const std::tuple<Part, size_t, const BrowseItem*> cases[] = {
      {Part::Chain, 0, &state.chain[0]}, {Part::Chain, 1, &state.chain[1]}, {Part::Chain, 2, nullptr},
      {Part::Listing, 0, &state.listing[0]}, {Part::Listing, 1, nullptr}, {Part::None, 0, nullptr},
  };
  for (const auto& [part, index, item] : cases) {
    intptr_t packed = PackBrowseItemId({part, index});
    EXPECT_EQ(packed == 0, part == Part::None);
    BrowseItemId back = UnpackBrowseItemId(packed);
    EXPECT_EQ(back.part, part);
    if (part != Part::None) { EXPECT_EQ(back.index, index); }
    EXPECT_EQ(ItemOfId(state, back), item) << static_cast<int>(part) << " " << index;
  }
  EXPECT_EQ(UnpackBrowseItemId(-6).part, Part::None);
  EXPECT_EQ(UnpackBrowseItemId(3).part, Part::None);
}

// A refresh lists the place the path is cut back to; navigation cuts the
// chain at one of its items or extends it by a listed folder or archive,
// never by a package or model.
TEST_F(BrowseFolder, NavigationFollowsTheChainAndTheListing) {
  using Part = BrowseItemId::Part;
  BrowseState state;
  state.browsePath = At("games/gone");
  state.showDff = false;
  RefreshBrowseState(state);
  EXPECT_EQ(state.browsePath, At("games") + "\\");
  EXPECT_EQ(ChainPath(state.chain, state.chain.size()), state.browsePath);
  EXPECT_EQ(state.chain.back().icon, BrowseIcon::OpenFolder);
  EXPECT_EQ(state.listing.size(), 7u) << "no models on a refresh without Show DFF Files";
  auto indexOf = [&state](const std::string& text, BrowseIcon icon) {
    for (size_t i = 0; i < state.listing.size(); ++i)
      if (state.listing[i].text == text && state.listing[i].icon == icon) return i;
    ADD_FAILURE() << text;
    return size_t{0};
  };
  BrowseState before = state;
  EXPECT_FALSE(NavigateToItem(state, {Part::Listing, indexOf("walk.ifp", BrowseIcon::Package)}));
  EXPECT_FALSE(NavigateToItem(state, {Part::Listing, state.listing.size()}));
  EXPECT_FALSE(NavigateToItem(state, {}));
  EXPECT_EQ(state.browsePath, before.browsePath);
  EXPECT_EQ(Describe(state.listing), Describe(before.listing));

  size_t depth = state.chain.size();
  ASSERT_TRUE(NavigateToItem(state, {Part::Listing, indexOf("anim.img", BrowseIcon::Archive)}));
  EXPECT_EQ(state.browsePath, At("games/anim.img") + "\\");
  EXPECT_EQ(state.browseArchive, At("games/anim.img"));
  EXPECT_EQ(state.chain.size(), depth + 1);
  EXPECT_EQ(Describe(state.listing), "jump.ifp/Package Idle.IFP/Package b.dff/Model a.DFF/Model")
      << "navigation lists models always";
  EXPECT_TRUE(state.listing[0].storedName) << "entry names are the archive's bytes";

  ASSERT_TRUE(NavigateToItem(state, {Part::Chain, depth - 1}));
  EXPECT_EQ(state.browsePath, At("games") + "\\");
  EXPECT_EQ(state.browseArchive, "");
  EXPECT_EQ(state.chain.size(), depth);
  EXPECT_EQ(state.listing.size(), 8u);
  EXPECT_FALSE(state.listing[0].storedName);
  ASSERT_TRUE(NavigateToItem(state, {Part::Listing, indexOf("sub", BrowseIcon::Folder)}));
  EXPECT_EQ(state.browsePath, At("games/sub") + "\\");
  EXPECT_TRUE(state.listing.empty());
  ASSERT_TRUE(NavigateToItem(state, {Part::Chain, 0}));
  EXPECT_EQ(state.chain.size(), 1u);
  EXPECT_EQ(state.browsePath, At("games").substr(0, 3));
}

// An item of a folder is a file; an item of an archive is an entry, whose
// path leads back to it only when the archive is a file; an item of the
// chain is the folder or archive itself.
TEST_F(BrowseFolder, ItemsStandForFilesOrArchiveEntries) {
  using Part = BrowseItemId::Part;
  BrowseState state;
  state.chain = BrowseChain("C:\\games\\");
  state.listing = {{"walk.ifp", BrowseIcon::Package, false}};
  std::optional<BrowseTarget> file = TargetOfItem(state, {Part::Listing, 0});
  ASSERT_TRUE(file);
  EXPECT_FALSE(file->InArchive());
  EXPECT_EQ(file->path, "C:\\games\\walk.ifp");
  EXPECT_EQ(file->name, "walk.ifp");
  std::optional<BrowseTarget> folder = TargetOfItem(state, {Part::Chain, 1});
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->path, "C:\\games");
  EXPECT_FALSE(TargetOfItem(state, {Part::Listing, 1}));
  EXPECT_FALSE(TargetOfItem(state, {}));
  state.browseArchive = At("games/anim.img");
  state.chain = BrowseChain("x\\anim.img\\");
  state.listing = {{"b.dff", BrowseIcon::Model, false, true}};
  BrowseTarget entry = *TargetOfItem(state, {Part::Listing, 0});
  EXPECT_EQ(entry.archive, At("games/anim.img"));
  EXPECT_EQ(entry.name, "b.dff");
  const std::pair<std::string, std::string> paths[] = {
      {entry.path, "b.dff"},
      {At("games/anim.img/any\\thing.dff"), "any\\thing.dff"},
      {At("games/anim.img") + "\\", ""},
      {At("games/odd.img/ped.dff"), ""},  // a folder, not an archive
      {At("games/ped.dff"), ""},
      {At("games/missing.img/ped.dff"), ""},
  };
  for (const auto& [path, name] : paths) {
    std::optional<ArchiveEntryRef> ref = ArchiveEntryOfPath(path);
    EXPECT_EQ(ref ? ref->entry : "", name) << path;
    if (ref) { EXPECT_EQ(ref->archive, At("games/anim.img")); }
  }
}

TEST_F(BrowseFolder, PathBoxTakesFoldersAndArchives) {
  struct Case {
    std::string text;
    PathBoxVerdict verdict;
  } cases[] = {
      {At("games"), PathBoxVerdict::Accepted},
      {At("games/odd.img"), PathBoxVerdict::Accepted},
      {At("games/anim.img"), PathBoxVerdict::Accepted},
      {At("caps/DATA.IMG"), PathBoxVerdict::Accepted},
      {At("games/notes.txt"), PathBoxVerdict::InvalidExtension},
      {At("games/walk.ifp"), PathBoxVerdict::InvalidExtension},
      {At("games/missing"), PathBoxVerdict::InvalidPath},
      {"", PathBoxVerdict::InvalidPath},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckPathBoxText(c.text), c.verdict) << c.text;
}

// Folder and file names outside the 8-bit code page are browsed as UTF-8;
// an archive's entry names stay the bytes it stores.
TEST(BrowseUnicode, FoldersOfAnyNameAreListedAndBrowsed) {
  ScratchFolder scratch;
  scratch.MakeFolder("Игры/Модели");
  scratch.Write("Игры/ходьба.ifp", {1});
  const std::string entry = "\xC0\xE9.ifp";  // 8-bit bytes, as an archive stores them
  scratch.Write("Игры/архив.img", BuildImgArchive({{entry, PatternData(10, 1)}, {"gun.dff", PatternData(10, 2)}}));
  BrowseState state;
  state.browsePath = scratch.ProgramPath("Игры/нет");
  RefreshBrowseState(state);
  EXPECT_EQ(state.browsePath, scratch.ProgramPath("Игры") + "\\");
  EXPECT_EQ(state.chain.back().text, "Игры");
  EXPECT_EQ(Describe(state.listing, true), "Модели/Folder+ архив.img/Archive+ ходьба.ifp/Package");
  EXPECT_EQ(CheckPathBoxText(scratch.ProgramPath("Игры/архив.img")), PathBoxVerdict::Accepted);
  size_t archive = 0;
  while (archive < state.listing.size() && state.listing[archive].icon != BrowseIcon::Archive) ++archive;
  ASSERT_TRUE(NavigateToItem(state, {BrowseItemId::Part::Listing, archive}));
  EXPECT_EQ(state.browseArchive, scratch.ProgramPath("Игры/архив.img"));
  ASSERT_EQ(state.listing.size(), 2u);
  EXPECT_EQ(state.listing[0].text, entry);
  EXPECT_TRUE(state.listing[0].storedName);
  std::optional<BrowseTarget> target = TargetOfItem(state, {BrowseItemId::Part::Listing, 0});
  ASSERT_TRUE(target);
  EXPECT_EQ(target->name, entry);
  EXPECT_EQ(target->path, scratch.ProgramPath("Игры/архив.img") + "\\" + entry);
}

TEST(BrowseDrives, DriveBoxNamesEachDriveByItsRootAndLabel) {
  ScratchFolder scratch;
  std::vector<Drive> drives = LogicalDrives();
  for (size_t i = 1; i < drives.size(); ++i) EXPECT_LT(drives[i - 1].letter, drives[i].letter);
  char scratchDrive = DriveLetterOf(scratch.ProgramPath("x"));
  EXPECT_TRUE(std::any_of(drives.begin(), drives.end(), [&](const Drive& d) { return d.letter == scratchDrive; }))
      << "the drive of the temporary folder is listed";
  EXPECT_EQ(KindOfPath(DriveRoot(scratchDrive)), PathKind::Folder);
  EXPECT_EQ(DriveBoxText({'C', "System"}), "C:\\ System");
  EXPECT_EQ(DriveBoxText({'D', ""}), "D:\\ ");
  EXPECT_EQ(DriveLetterOf("c:\\games"), 'C');
}

}  // namespace
}  // namespace zam
