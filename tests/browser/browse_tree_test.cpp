// What the browser tree shows: browse paths cut back to places that exist,
// chains, listings of real folders and generated archives, the items' files,
// and the path box's verdicts.

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
    std::vector<std::string> texts;
    for (const BrowseItem& item : chain) texts.push_back(item.text);
    EXPECT_EQ(ItemPath(texts), joined) << path;
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

// An item of a folder is a file; an item of an archive is an entry, whose
// path leads back to it only when the archive is a file.
TEST_F(BrowseFolder, ItemsStandForFilesOrArchiveEntries) {
  BrowseState state;
  BrowseTarget file = TargetOfItem(state, {"C:", "games", "walk.ifp"});
  EXPECT_FALSE(file.InArchive());
  EXPECT_EQ(file.path, "C:\\games\\walk.ifp");
  EXPECT_EQ(file.name, "walk.ifp");
  state.browseArchive = At("games/anim.img");
  BrowseTarget entry = TargetOfItem(state, {"x", "anim.img", "b.dff"});
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
