// zam check: the game's rules a package breaks, one line per finding.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "anim/anim_package.h"
#include "anim/package_check.h"
#include "anim/package_layouts.h"
#include "commands.h"
#include "img/archive_entry_path.h"
#include "img/img_entry_bytes.h"

namespace zam::cli {
namespace {

constexpr int kExitUnread = 3;

enum class Checked { Clean, Findings, Unread };

// A file, or an archive's entry named as "ARCHIVE.img\ENTRY", whose package
// name is then held to the entry's name.
Checked CheckOne(const std::string& path, const PackageLayout* layout) {
  AnimPackage package{};
  std::string entryName;
  if (std::optional<ArchiveEntryRef> entry = ArchiveEntryOfPath(path)) {
    std::vector<uint8_t> bytes;
    const ImgExtractResult read = ReadImgEntry(entry->archive, StoredName(entry->entry), bytes);
    if (read == ImgExtractResult::EntryNotFound) {
      Fail(PrintablePath(entry->archive) + ": no entry named " + PrintableName(StoredName(entry->entry)));
      return Checked::Unread;
    }
    if (!ImgEntryExtracted(read)) {
      FailFile(path, {});
      return Checked::Unread;
    }
    entryName = StoredName(entry->entry);
    if (!ReadPackageBytes(path, bytes, package)) return Checked::Unread;
  } else if (!LoadPackage(path, package)) {
    return Checked::Unread;
  }
  if (layout != nullptr) package.format = layout->tag;
  const std::vector<CheckFinding> findings = CheckPackage(package, entryName);
  for (const CheckFinding& finding : findings) {
    std::printf("%s: %s: %s\n", PrintablePath(path).c_str(), PrintableName(FindingPlace(package, finding)).c_str(),
                PrintableName(finding.what).c_str());
  }
  return findings.empty() ? Checked::Clean : Checked::Findings;
}

}  // namespace

// Exits 0 when no package breaks a rule, 1 when one does, 2 on a usage
// error, and 3 when a file could not be read. With --to, each package is
// checked as it would be saved in that layout.
int RunCheck(const Args& args) {
  constexpr const char* kSynopsis = "zam check [--to anpk|anp3|anp2] FILE|ARCHIVE.img\\ENTRY...";
  const PackageLayout* layout = nullptr;
  Args paths = args;
  if (paths.size() >= 2 && paths[0] == "--to") {
    layout = LayoutNamed(paths[1]);
    if (layout == nullptr) return Usage(kSynopsis);
    paths.erase(paths.begin(), paths.begin() + 2);
  }
  if (paths.empty()) return Usage(kSynopsis);
  bool findings = false, unread = false;
  for (const std::string& path : paths) {
    Checked checked = CheckOne(path, layout);
    findings |= checked == Checked::Findings;
    unread |= checked == Checked::Unread;
  }
  return unread ? kExitUnread : findings ? kExitFailure : kExitOk;
}

}  // namespace zam::cli
