#pragma once
// Archive entries as bytes in memory. An entry still passes through a
// temporary file of the system's temporary folder on its way ("ifp" for a
// package, "dff" and "txd" for a model and its dictionary), made and deleted
// here on every path, so that callers never handle one.

#include <cstdint>
#include <string>
#include <vector>

#include "img/img_archive.h"

namespace zam {

// Replaces `bytes` with the first entry named `entryName`, as whole sectors;
// `bytes` is empty unless ImgEntryExtracted(result). WriteFailed also when the
// temporary file cannot be made or read back.
ImgExtractResult ReadImgEntry(const std::string& archivePath, const std::string& entryName,
                              std::vector<uint8_t>& bytes);

// Replaces `dff` with a model entry and `txd` with its dictionary
// (ImgDictionaryName), opening the archive once; each is empty unless its
// result says it was extracted. A dictionary that is EntryNotFound means the
// model is loaded without one.
ImgModelExtractResult ReadImgModel(const std::string& archivePath, const std::string& modelName,
                                   std::vector<uint8_t>& dff, std::vector<uint8_t>& txd);

// Writes `bytes` into the first entry named `entryName` as WriteBackImgEntry
// does. ArchiveCannotOpen also when the temporary file cannot be made or
// written.
ImgWriteBackResult WriteImgEntry(const std::string& archivePath, const std::string& entryName,
                                 const std::vector<uint8_t>& bytes);

}  // namespace zam
