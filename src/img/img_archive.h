#pragma once
// IMG archives: listing and copying entries out into files. Version 2 has
// a "VER2" directory at the start of its one file; version 1 (the earlier
// games) keeps the same records in a ".dir" file beside an ".img" of data
// alone. Every function here that takes an archive's path takes either. An
// archive may exceed 4 GB: every byte position is 64-bit and an archive is
// never loaded whole. Entry names are only ever compared, never used as
// paths. Changing archives is in img_edit.h and img_rebuild.h.

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

enum class ImgVersion { V1, V2 };

// The other file of a version 1 pair: the ".dir" beside an ".img", or the
// ".img" beside a ".dir"; its extension in the case of the given one, letter
// by letter, else in lower or in upper case. Empty when none exists.
std::string ImgPairPartner(const std::string& path);

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
  NotImgArchive,  // no "VER2" tag and no ".dir" beside
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

}  // namespace zam
