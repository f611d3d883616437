#include "browser/browse_tree.h"

#include "base/text.h"
#include "img/archive_entry_path.h"
#include "img/img_archive.h"

namespace zam {

bool IsPackageName(const std::string& text) { return EndsWithIgnoringAsciiCase(text, ".ifp"); }

bool IsModelName(const std::string& text) { return EndsWithIgnoringAsciiCase(text, ".dff"); }

bool IsArchiveBrowsePath(const std::string& path) { return EndsWithIgnoringAsciiCase(path, ".img\\"); }

std::string NormaliseBrowsePath(const std::string& path, char drive) {
  std::string place = path;
  if (!place.empty() && place.back() == '\\') place.pop_back();
  if (!EndsWithIgnoringAsciiCase(place, ".img")) {
    while (KindOfPath(place) != PathKind::Folder) {
      size_t slash = place.find_last_of('\\');
      if (slash == std::string::npos) {
        place = DriveRoot(drive);
        break;
      }
      place.resize(slash);
    }
  }
  if (place.empty() || place.back() != '\\') place += '\\';
  return place;
}

std::vector<BrowseItem> BrowseChain(const std::string& browsePath) {
  std::vector<BrowseItem> chain;
  size_t start = 0;
  while (start <= browsePath.size()) {
    size_t end = browsePath.find('\\', start);
    if (end == std::string::npos) end = browsePath.size();
    if (end > start) {
      std::string text = browsePath.substr(start, end - start);
      BrowseIcon icon = chain.empty() ? BrowseIcon::Drive : BrowseIcon::OpenFolder;
      if (EndsWithIgnoringAsciiCase(text, ".img")) icon = BrowseIcon::Archive;
      chain.push_back({text, icon, false});
    }
    start = end + 1;
  }
  return chain;
}

std::string ChainPath(const std::vector<BrowseItem>& chain, size_t count) {
  std::string path;
  for (size_t i = 0; i < count && i < chain.size(); ++i) path += chain[i].text + '\\';
  return path;
}

// The part in the low two bits, the index above them.
intptr_t PackBrowseItemId(BrowseItemId id) {
  if (id.part == BrowseItemId::Part::None) return 0;
  return static_cast<intptr_t>(id.index) * 4 + (id.part == BrowseItemId::Part::Chain ? 1 : 2);
}

BrowseItemId UnpackBrowseItemId(intptr_t packed) {
  BrowseItemId id;
  if (packed <= 0) return id;
  switch (packed % 4) {
    case 1:
      id.part = BrowseItemId::Part::Chain;
      break;
    case 2:
      id.part = BrowseItemId::Part::Listing;
      break;
    default:
      return id;
  }
  id.index = static_cast<size_t>(packed / 4);
  return id;
}

const BrowseItem* ItemOfId(const BrowseState& state, BrowseItemId id) {
  switch (id.part) {
    case BrowseItemId::Part::Chain:
      return id.index < state.chain.size() ? &state.chain[id.index] : nullptr;
    case BrowseItemId::Part::Listing:
      return id.index < state.listing.size() ? &state.listing[id.index] : nullptr;
    case BrowseItemId::Part::None:
      break;
  }
  return nullptr;
}

std::vector<BrowseItem> FolderListing(const std::string& folder, bool listModels) {
  std::vector<FolderEntry> entries;
  ListFolder(folder, entries);
  std::vector<BrowseItem> items;
  items.reserve(entries.size());
  for (const FolderEntry& entry : entries) {
    if (entry.isFolder) items.push_back({entry.name, BrowseIcon::Folder, true});
    if (EndsWithIgnoringAsciiCase(entry.name, ".img")) items.push_back({entry.name, BrowseIcon::Archive, true});
    if (IsPackageName(entry.name)) items.push_back({entry.name, BrowseIcon::Package, false});
    if (listModels && IsModelName(entry.name)) items.push_back({entry.name, BrowseIcon::Model, false});
  }
  return items;
}

std::vector<BrowseItem> ArchiveListing(const std::string& archivePath, bool listModels) {
  std::vector<ImgEntry> entries;
  ImgListResult result = ListImgEntries(archivePath, entries);
  std::vector<BrowseItem> items;
  if (result == ImgListResult::NotImgArchive || result == ImgListResult::ArchiveCannotOpen) return items;
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (const ImgEntry& entry : entries) names.push_back(ImgEntryName(entry));
  for (const std::string& name : names) {
    if (IsPackageName(name)) items.push_back({name, BrowseIcon::Package, false, true});
  }
  if (!listModels) return items;
  for (const std::string& name : names) {
    if (IsModelName(name)) items.push_back({name, BrowseIcon::Model, false, true});
  }
  return items;
}

std::vector<BrowseItem> ListBrowsedPlace(BrowseState& state, ListingRules rules) {
  bool listModels = rules == ListingRules::Navigation || state.showDff;
  if (IsArchiveBrowsePath(state.browsePath)) {
    state.browseArchive = state.browsePath.substr(0, state.browsePath.size() - 1);
    return ArchiveListing(state.browseArchive, listModels);
  }
  state.browseArchive.clear();
  return FolderListing(state.browsePath, listModels);
}

void RefreshBrowseState(BrowseState& state) {
  state.browsePath = NormaliseBrowsePath(state.browsePath, state.currentDrive);
  state.chain = BrowseChain(state.browsePath);
  state.listing = ListBrowsedPlace(state, ListingRules::Refresh);
}

bool NavigateToItem(BrowseState& state, BrowseItemId id) {
  const BrowseItem* item = ItemOfId(state, id);
  if (!item) return false;
  if (id.part == BrowseItemId::Part::Chain) {
    state.chain.resize(id.index + 1);
  } else {
    if (!item->expandable) return false;
    state.chain.push_back(*item);
  }
  state.browsePath = ChainPath(state.chain, state.chain.size());
  state.listing = ListBrowsedPlace(state, ListingRules::Navigation);
  return true;
}

std::optional<BrowseTarget> TargetOfItem(const BrowseState& state, BrowseItemId id) {
  const BrowseItem* item = ItemOfId(state, id);
  if (!item) return std::nullopt;
  BrowseTarget target;
  target.name = item->text;
  if (id.part == BrowseItemId::Part::Chain) {
    target.path = ChainPath(state.chain, id.index + 1);
    target.path.pop_back();
  } else if (!state.browseArchive.empty()) {
    target.archive = state.browseArchive;
    target.path = ArchiveEntryPath(target.archive, target.name);
  } else {
    target.path = ChainPath(state.chain, state.chain.size()) + target.name;
  }
  return target;
}

std::optional<std::string> ArchiveOfItem(const BrowseState& state, BrowseItemId id) {
  const BrowseItem* item = ItemOfId(state, id);
  if (!item) return std::nullopt;
  if (IsArchiveEntryItem(state, id)) return state.browseArchive;
  if (item->icon != BrowseIcon::Archive) return std::nullopt;
  return TargetOfItem(state, id)->path;
}

bool IsArchiveEntryItem(const BrowseState& state, BrowseItemId id) {
  return id.part == BrowseItemId::Part::Listing && ItemOfId(state, id) != nullptr && !state.browseArchive.empty();
}

char DriveLetterOf(const std::string& path) { return path.empty() ? '\0' : AsciiUpper(path[0]); }

std::string DriveRoot(char letter) { return std::string(1, letter) + ":\\"; }

std::string DriveBoxText(const Drive& drive) { return DriveRoot(drive.letter) + " " + drive.label; }

PathBoxVerdict CheckPathBoxText(const std::string& text) {
  switch (KindOfPath(text)) {
    case PathKind::Missing:
      return PathBoxVerdict::InvalidPath;
    case PathKind::File:
      return EndsWithIgnoringAsciiCase(text, ".img") ? PathBoxVerdict::Accepted : PathBoxVerdict::InvalidExtension;
    case PathKind::Folder:
      break;
  }
  return PathBoxVerdict::Accepted;
}

}  // namespace zam
