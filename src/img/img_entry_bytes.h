#pragma once
// Archive entries read as bytes into memory. An entry still passes through a
// temporary file of the system's temporary folder on its way ("ifp" for a
// package, "dff" and "txd" for a model and its dictionary), made and deleted
// here on every path, so that callers never handle one. Bytes are written
// into entries by img_edit.h, without a temporary file.

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

}  // namespace zam
