#pragma once
// An archive's files opened and its directory's extent read, for the
// module's listing, extraction, editing and rebuilding alike. Version 2
// keeps its directory after an 8-byte header at the start of the one file;
// version 1 keeps it in the ".dir" beside the ".img", which holds only data.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "img/img_records.h"
#include "platform/file.h"

namespace zam {

inline constexpr uint64_t kImgHeaderSize = 8;  // tag and entry count
inline constexpr size_t kImgRecordSize = sizeof(ImgEntry);

enum class ImgOpenStatus { Ok, CannotOpen, NotImg };

struct ImgArchiveFiles {
  ImgVersion version = ImgVersion::V2;
  std::string dataPath;       // the ".img"
  std::string directoryPath;  // the ".dir" of version 1; the ".img" of version 2
  File data;
  File directoryFile;  // version 1 only: version 2's directory is in `data`
  uint64_t dataSize = 0;
  uint64_t directoryFileSize = 0;
  uint32_t count = 0;         // records the directory declares
  bool countMissing = false;  // version 2's file ends inside the header

  File& directory() { return version == ImgVersion::V1 ? directoryFile : data; }
  uint64_t DirectoryStart() const { return version == ImgVersion::V1 ? 0 : kImgHeaderSize; }
  // Records the directory's file actually holds, at most `count`.
  uint32_t HeldCount() const;
  // The byte position of record `index` in the directory's file.
  uint64_t RecordPosition(uint32_t index) const { return DirectoryStart() + uint64_t{index} * kImgRecordSize; }
};

// Opens the archive `path` names (a version 2 ".img", or either file of a
// version 1 pair) for reading, or reading and writing with nobody else
// having it open, and reads its header; the directory's file is positioned
// at the first record.
ImgOpenStatus OpenImgArchive(const std::string& path, bool forWriting, ImgArchiveFiles& archive);

// More records than any game's archive holds by far; a directory declaring
// more is damaged, and is not allocated for.
inline constexpr uint32_t kMaxImgRecords = 1u << 22;

// Reads the whole directory in order. False when it is damaged (its file
// holds fewer records than it declares, or it declares more than
// kMaxImgRecords) or cannot be read.
bool ReadImgRecords(ImgArchiveFiles& archive, std::vector<ImgEntry>& records);

}  // namespace zam
