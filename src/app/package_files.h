#pragma once
// Packages read from files and archive entries, and written back to them,
// as the editor opens and saves its documents. Failures come back as the
// message the user is to see.

#include <optional>
#include <string>

#include "anim/anim_package.h"
#include "base/messages.h"

namespace zam {

enum class PackageReadStatus {
  Read,
  EndedEarly,         // what the file holds was read; it declares more
  Damaged,            // it declares a negative count; what comes before it was read
  CannotOpen,         // also an archive entry that could not be taken out
  UnknownFormat,      // neither layout; the package is untouched
  ArchiveUnreadable,  // the archive cannot be opened or is no archive: nothing to say beyond the browser
};

struct PackageReadResult {
  PackageReadStatus status = PackageReadStatus::Read;
  std::string reason;  // why a file could not be opened, in the system's words

  // Also what was read before the file ended or turned out damaged.
  bool HasPackage() const {
    return status == PackageReadStatus::Read || status == PackageReadStatus::EndedEarly ||
           status == PackageReadStatus::Damaged;
  }
};

// Replaces `package` with the package in the file at `path`.
PackageReadResult ReadPackageFile(const std::string& path, AnimPackage& package);
// Replaces `package` with the package in entry `entry` of the archive at `archive`.
PackageReadResult ReadPackageEntry(const std::string& archive, const std::string& entry, AnimPackage& package);

// What the user is told of a read; nothing when it succeeded or the
// archive itself could not be read. FileEndedEarly and FileDamaged show the
// animations read.
std::optional<Message> ReadMessage(PackageReadStatus status);

enum class PackageWriteStatus {
  Written,
  CannotOpen,      // the file cannot be replaced (read-only, held open elsewhere, missing folder) or the archive opened
  UnknownFormat,   // the package has no layout to be written in
  NothingWritten,  // the archive has no such entry, or is damaged: it was not touched
  ArchiveUnchanged,  // the entry could not be written; the archive is as it was
};

struct PackageWriteResult {
  PackageWriteStatus status = PackageWriteStatus::Written;
  std::string reason;  // why a file could not be replaced, in the system's words
};

// Writes `package` in its layout over the existing file at `path`, in one
// step, so a failure leaves the old file as it was.
PackageWriteResult SavePackageFile(const AnimPackage& package, const std::string& path);
// The same for a file that may not exist yet (Save As).
PackageWriteResult SavePackageFileAs(const AnimPackage& package, const std::string& path);
// Writes `package` into entry `entry` of the archive at `archive`.
PackageWriteResult SavePackageEntry(const AnimPackage& package, const std::string& archive, const std::string& entry);

// What the user is told of a write; nothing when it was written or when the
// failure has nothing to tell.
std::optional<Message> WriteMessage(PackageWriteStatus status);

}  // namespace zam
