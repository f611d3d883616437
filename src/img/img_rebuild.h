#pragma once
// Rebuilding an archive: its entries packed in directory order right after
// a directory of exactly their number, with no hole between, each entry's
// sectors copied unchanged, the file ending with the last of them. The new
// archive is written beside the old under a temporary name, made durable
// and renamed over it (a version 1 pair's two files through a journal,
// platform/write_journal.h), so that a failure, a kill or a cancel leaves
// the old archive as it was and nothing else behind.

#include <cstdint>
#include <functional>
#include <string>

namespace zam {

enum class ImgRebuildResult {
  Done,
  ArchiveCannotOpen,
  NotImgArchive,
  DirectoryDamaged,  // as ImgEditResult::DirectoryDamaged
  NoSpace,           // the volume has less free space than the new archive takes: nothing was written
  WriteFailed,       // the new archive could not be written or renamed into place
  Cancelled,
  Pending,  // as ImgEditResult::Pending
};

struct ImgRebuildOutcome {
  ImgRebuildResult result = ImgRebuildResult::Done;
  uint64_t oldBytes = 0;   // the archive's files before
  uint64_t newBytes = 0;   // and rebuilt: what the rebuild needs free
  uint64_t freeBytes = 0;  // free on the volume, for NoSpace
};

// Told how many of the new archive's bytes are written, of how many; the
// rebuild stops, as cancelled, when it returns false.
using ImgProgress = std::function<bool(uint64_t done, uint64_t total)>;

ImgRebuildOutcome RebuildImgArchive(const std::string& archivePath, const ImgProgress& progress);

}  // namespace zam
