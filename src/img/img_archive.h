#pragma once
// IMG archives with the "VER2" directory: listing, copying entries out into
// files, and writing a package back into an entry. Archives may exceed 4 GB:
// every byte position is 64-bit and an archive is never loaded whole. Entry
// names are only ever compared, never used as paths.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file.h"

namespace zam {

inline constexpr uint64_t kImgSectorSize = 2048;
inline constexpr size_t kImgNameSize = 24;

// One directory record. `name` is zero-terminated in well-formed archives but
// may fill all 24 bytes: read it through ImgEntryName.
struct ImgEntry {
  uint32_t offset;  // in sectors from the start of the archive
  uint32_t size;    // in sectors
  char name[kImgNameSize];
};
static_assert(sizeof(ImgEntry) == 32, "IMG directory record");

// The name up to its first zero byte, at most 24 characters.
std::string ImgEntryName(const ImgEntry& entry);
// Whole-name comparison without regard to case, as archive look-ups do.
bool ImgEntryNameMatches(const ImgEntry& entry, const std::string& name);

// Byte position of a sector, in 64 bits.
constexpr uint64_t ImgSectorPosition(uint32_t sector) { return uint64_t{sector} * kImgSectorSize; }
// Sectors reserved for `bytes` of written-back data: one more than the whole
// sectors it fills, also when it fills them exactly.
constexpr uint64_t ImgSectorsNeeded(uint64_t bytes) { return bytes / kImgSectorSize + 1; }
// Where data placed after the first `bytes` bytes of an archive (all of it,
// or its directory) start: the first sector after the one holding the last of
// them, so whole sectors leave no unused one between.
constexpr uint64_t ImgAppendSector(uint64_t bytes) { return (bytes + kImgSectorSize - 1) / kImgSectorSize; }

// The texture dictionary of a model: the three characters after the last "."
// become "txd" ("ped.dff" gives "ped.txd"); empty when the name has no ".".
std::string ImgDictionaryName(const std::string& modelName);

enum class ImgListResult {
  Listed,
  // The directory claims more records than the archive holds: those that
  // exist were listed.
  DirectoryTruncated,
  NotImgArchive,  // no "VER2" tag
  ArchiveCannotOpen,
};

// Replaces `entries` with the directory, in directory order.
ImgListResult ListImgEntries(const std::string& archivePath, std::vector<ImgEntry>& entries);

enum class ImgExtractResult {
  Extracted,
  // The entry's sectors run past the end of the archive: the bytes that exist
  // were copied.
  EntryTruncated,
  EntryNotFound,  // nothing was written to the file
  NotImgArchive,
  ArchiveCannotOpen,
  WriteFailed,  // the file could not take the data
};

// True when the file received the entry (whole or as far as the archive holds it).
constexpr bool ImgEntryExtracted(ImgExtractResult result) {
  return result == ImgExtractResult::Extracted || result == ImgExtractResult::EntryTruncated;
}

// Copies the first entry named `entryName` into `out`, a new empty file, as
// whole sectors (size x 2048 bytes), and leaves `out` positioned at its start.
ImgExtractResult ExtractImgEntry(const std::string& archivePath, const std::string& entryName, File& out);

struct ImgModelExtractResult {
  ImgExtractResult model;
  ImgExtractResult dictionary;  // EntryNotFound: load the model without one
};

// Copies a model entry into `modelOut` and its dictionary (ImgDictionaryName)
// into `dictionaryOut`, opening the archive once.
ImgModelExtractResult ExtractImgModel(const std::string& archivePath, const std::string& modelName, File& modelOut,
                                      File& dictionaryOut);

enum class ImgWriteBackResult {
  Written,
  ArchiveCannotOpen,
  // No "VER2" tag, no entry of that name, or an unreadable package file or
  // entry; the archive was not touched.
  NothingWritten,
  // The data or the record could not be written (a full disk): the archive
  // was put back as it was, to the byte.
  WriteFailed,
  // As WriteFailed, but the archive, read back after putting it back, is not
  // as it was: the entry's sectors or its record may hold part of the new
  // package.
  NotRestored,
};

// Writes the package file into the first entry named `entryName`: in place
// when the entry has room for it and no other record claims the sectors it
// takes, otherwise appended after the directory and every sector a record
// claims, with the entry's record pointing there. Sectors past them are held
// by no entry (an interrupted save leaves such): the package is written over
// them, and what is left of them after it is cut off. The record changes
// only after the data are written.
// The package file is deleted in every case, so it must not be open
// elsewhere (Windows cannot delete an open file).
ImgWriteBackResult WriteBackImgEntry(const std::string& archivePath, const std::string& entryName,
                                     const std::string& packageFilePath);

}  // namespace zam
