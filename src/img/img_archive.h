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

#include "img/img_records.h"
#include "platform/file.h"

namespace zam {

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
