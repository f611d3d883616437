#pragma once
// Changing an archive's entries: new data for one (put), adding, deleting
// and renaming. Each leaves the archive, at every moment, either as it was
// or as the change makes it, every other entry intact, also when the
// program is killed or the disk fills:
// - New data go into sectors no record claims (the first hole between
//   entries that is large enough, else after the last claimed sector) and
//   reach the disk; only then does one write of the entry's 32-byte record
//   point at them. The entry's old sectors become a hole that a later put
//   may take and a rebuild reclaims.
// - A new record is written past the directory's end before the count
//   (version 2: 4 bytes in the first sector) or the ".dir"'s length
//   (version 1) takes it in; a version 2 directory that must grow first
//   moves the entries in its way as a put would.
// - A change of several records (a delete before the last record, a
//   rename whose name crosses a disk sector) goes through a journal
//   (platform/write_journal.h), which a start after a kill completes.
// A failure leaves every record as it was; data written past the archive's
// end are cut off again.

#include <cstdint>
#include <string>
#include <vector>

namespace zam {

// Names typed for entries keep at most this many bytes; the record's 24th
// is the terminator.
inline constexpr size_t kImgMaxNameLength = 23;

enum class ImgEditResult {
  Done,
  ArchiveCannotOpen,
  NotImgArchive,
  // The directory claims more records than its file holds, or a record
  // lies so far past the end that following it would make the file huge.
  DirectoryDamaged,
  EntryNotFound,
  NameTaken,    // another entry has the name, in any case
  NameInvalid,  // see IsValidImgEntryName
  TooLarge,     // more sectors than a record can count
  WriteFailed,  // nothing changed (a full disk, a file that cannot be written)
  // The change reached the disk whole but could not be made in the archive
  // at once: the next start of the program completes it.
  Pending,
};

// 1 to 23 bytes, none a control character, "\" or "/" (the browser joins
// an entry's name to its archive's path with "\").
bool IsValidImgEntryName(const std::string& name);

// Writes `bytes` as the data of the first entry named `name`, in whole
// sectors: size / 2048 + 1 of them, zero-filled after the data. Never
// Pending: one record changes.
ImgEditResult PutImgEntry(const std::string& archivePath, const std::string& name, const std::vector<uint8_t>& bytes);

// Adds an entry after the last record, its data in ceil(size / 2048)
// sectors. NameTaken when an entry has the name already.
ImgEditResult AddImgEntry(const std::string& archivePath, const std::string& name, const std::vector<uint8_t>& bytes);

// Removes the first entry named `name`; the records after it move up.
ImgEditResult DeleteImgEntry(const std::string& archivePath, const std::string& name);

// Renames the first entry named `oldName`. A new name differing only in
// case from the old one is no clash.
ImgEditResult RenameImgEntry(const std::string& archivePath, const std::string& oldName, const std::string& newName);

}  // namespace zam
