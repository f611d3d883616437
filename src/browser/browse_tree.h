#pragma once
// What the browser tree shows, decided away from the window: the browse path
// cut back to a place that exists, the chain of its components from the
// drive down, and the listing of the folder or IMG archive at its end. Paths
// are the program's: "C:\games\x.img\", components separated by "\", in
// UTF-8. The state holds every item the tree shows; the tree's items carry
// only their ids, so paths are never rebuilt from the texts on screen.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/folders.h"

namespace zam {

// The tree's icons, in the order of its image list.
enum class BrowseIcon { Folder = 0, OpenFolder = 1, Archive = 2, Package = 3, Model = 4, Drive = 5 };

struct BrowseItem {
  std::string text;
  BrowseIcon icon;
  // Folders and archives of a listing get a placeholder child so that the
  // tree lets them expand, which navigates there. Packages and models never
  // do: double-clicking one opens it and must not navigate into it.
  bool expandable;
  // An archive entry's name as stored: 8-bit bytes of the system's code
  // page. Every other text is UTF-8.
  bool storedName = false;
};

// A refresh lists models only while Show DFF Files is on; navigating by
// expanding an item lists them always.
enum class ListingRules { Refresh, Navigation };

struct BrowseState {
  std::string browsePath;     // the folder or archive browsed; ends with "\" once listed
  char currentDrive = 'C';    // upper case
  std::string browseArchive;  // the archive whose entries are listed; empty while a folder is
  bool showDff = true;        // Show DFF Files
  std::vector<BrowseItem> chain;    // from the drive down to the browsed place
  std::vector<BrowseItem> listing;  // the browsed place's, below the chain's last item
};

// Which item of the state a tree item shows.
struct BrowseItemId {
  enum class Part { None, Chain, Listing };
  Part part = Part::None;
  size_t index = 0;
};
// The id as the integer a tree item carries, and back; 0 stands for no item.
intptr_t PackBrowseItemId(BrowseItemId id);
BrowseItemId UnpackBrowseItemId(intptr_t packed);
// The item an id names; nullptr when it names none.
const BrowseItem* ItemOfId(const BrowseState& state, BrowseItemId id);

bool IsPackageName(const std::string& text);  // ends with ".ifp", in any case
bool IsModelName(const std::string& text);    // ends with ".dff", in any case
// A browse path that names an archive: it ends with ".img\", in any case.
bool IsArchiveBrowsePath(const std::string& path);

// The browse path made to name a place: one final "\" removed; a path that
// does not end with ".img" and is not an existing folder is cut at its last
// "\" until it names one, and becomes the root of `drive` when no "\" is
// left; then it ends with "\" again.
std::string NormaliseBrowsePath(const std::string& path, char drive);

// The items of the chain of `browsePath`, drive first: one per non-empty
// component between "\".
std::vector<BrowseItem> BrowseChain(const std::string& browsePath);

// The path of the chain's first `count` items: their texts from the drive
// down, each followed by "\".
std::string ChainPath(const std::vector<BrowseItem>& chain, size_t count);

// A folder's entries in the order the file system gives them: folders, then
// archives (so a folder named "x.img" appears twice), packages and, with
// `listModels`, models; other files not at all.
std::vector<BrowseItem> FolderListing(const std::string& folder, bool listModels);
// An archive's package entries in directory order, then its model entries
// (with `listModels`); nothing when it cannot be opened or is not "VER2".
std::vector<BrowseItem> ArchiveListing(const std::string& archivePath, bool listModels);
// The listing of the browsed folder or archive; sets browseArchive.
std::vector<BrowseItem> ListBrowsedPlace(BrowseState& state, ListingRules rules);

// The browse path cut back to a place that exists, its chain and its
// listing under the refresh rules.
void RefreshBrowseState(BrowseState& state);

// Goes to a folder or archive the tree shows: an item of the chain, which
// then ends there, or an expandable item of the listing, which joins the
// chain's end; the place is listed under the navigation rules. False, and
// nothing changes, for any other item.
bool NavigateToItem(BrowseState& state, BrowseItemId id);

// The file an item stands for.
struct BrowseTarget {
  std::string archive;  // the archive holding the entry; empty for a plain file
  std::string name;     // the file's name, or the entry's name as stored
  std::string path;     // the file's path; for an entry, its archive entry path
  bool InArchive() const { return !archive.empty(); }
};
// While an archive is listed every item of the listing is one of its
// entries; an item of the chain is the folder or archive itself. Nothing
// for an id of no item.
std::optional<BrowseTarget> TargetOfItem(const BrowseState& state, BrowseItemId id);

// The archive an item stands in: an archive of the chain or of a folder's
// listing itself, or the listed archive for one of its entries. Nothing for
// folders, plain files and an id of no item.
std::optional<std::string> ArchiveOfItem(const BrowseState& state, BrowseItemId id);

// Whether the item is an entry of the listed archive.
bool IsArchiveEntryItem(const BrowseState& state, BrowseItemId id);

// The drive of a path: the upper-case form of its first character.
char DriveLetterOf(const std::string& path);
// "C:\" for 'C'.
std::string DriveRoot(char letter);
// The drive box's text: the root path, a space and the volume label.
std::string DriveBoxText(const Drive& drive);

// What the "v" button makes of the path box's text.
enum class PathBoxVerdict { Accepted, InvalidPath, InvalidExtension };
// A folder or an ".img" file is accepted; anything else that exists is an
// invalid extension, and what does not exist an invalid path.
PathBoxVerdict CheckPathBoxText(const std::string& text);

}  // namespace zam
