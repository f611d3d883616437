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

std::string ItemPath(const std::vector<std::string>& textsFromRoot) {
  std::string path;
  for (const std::string& text : textsFromRoot) path += text + '\\';
  return path;
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
    if (IsPackageName(name)) items.push_back({name, BrowseIcon::Package, false});
  }
  if (!listModels) return items;
  for (const std::string& name : names) {
    if (IsModelName(name)) items.push_back({name, BrowseIcon::Model, false});
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

BrowseTarget TargetOfItem(const BrowseState& state, const std::vector<std::string>& textsFromRoot) {
  BrowseTarget target;
  if (textsFromRoot.empty()) return target;
  target.name = textsFromRoot.back();
  if (!state.browseArchive.empty()) {
    target.archive = state.browseArchive;
    target.path = ArchiveEntryPath(target.archive, target.name);
  } else {
    target.path = ItemPath(textsFromRoot);
    target.path.pop_back();
  }
  return target;
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
