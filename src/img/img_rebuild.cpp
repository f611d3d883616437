#include "img/img_rebuild.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "img/img_archive.h"
#include "img/img_archive_file.h"
#include "platform/file_system.h"
#include "platform/sibling_temporary.h"
#include "platform/write_journal.h"

namespace zam {
namespace {

// Entry data are copied this many bytes at a time; a whole number of sectors.
constexpr size_t kCopyBlock = 2048 * kImgSectorSize;

// A new file beside the archive, removed unless it was renamed into place.
struct Temporary {
  TemporaryNote note = TemporaryNote::Begin();
  std::string path;
  File file;

  explicit Temporary(const std::string& beside) { file = CreateSiblingTemporary(beside, note, path); }
  ~Temporary() {
    file.Close();
    if (!path.empty()) RemoveFile(path);
  }
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;
  // Closes the file, made durable; false when it could not be.
  bool Finish() {
    bool durable = file.Flush();
    file.Close();
    return durable;
  }
};

std::string FileName(const std::string& path) { return path.substr(FolderPart(path).size()); }

// Copies every entry's sectors, in directory order, to the end of `out`
// (positioned after the directory), telling `progress` as it goes.
ImgRebuildResult CopyEntries(ImgArchiveFiles& archive, const std::vector<ImgEntry>& records, File& out,
                             uint64_t written, uint64_t total, const ImgProgress& progress) {
  if (progress && !progress(written, total)) return ImgRebuildResult::Cancelled;
  for (const ImgEntry& record : records) {
    uint64_t from = ImgSectorPosition(record.offset);
    uint64_t left = ImgSectorPosition(record.size);
    while (left > 0) {
      uint64_t want = std::min<uint64_t>(left, kCopyBlock);
      uint64_t got = out.CopyFrom(archive.data, from, want);
      if (got < want) {
        // Sectors a record claims past the end of the file read as zeros,
        // as they would if the file were that long.
        if (from + got < archive.dataSize) return ImgRebuildResult::WriteFailed;
        std::vector<uint8_t> zeros(static_cast<size_t>(want - got));
        if (!out.Write(zeros.data(), zeros.size())) return ImgRebuildResult::WriteFailed;
      }
      from += want;
      left -= want;
      written += want;
      if (progress && !progress(written, total)) return ImgRebuildResult::Cancelled;
    }
  }
  return ImgRebuildResult::Done;
}

}  // namespace

ImgRebuildOutcome RebuildImgArchive(const std::string& archivePath, const ImgProgress& progress) {
  ImgRebuildOutcome outcome;
  ImgArchiveFiles archive;
  switch (OpenImgArchive(archivePath, false, archive)) {
    case ImgOpenStatus::Ok:
      break;
    case ImgOpenStatus::CannotOpen:
      outcome.result = ImgRebuildResult::ArchiveCannotOpen;
      return outcome;
    case ImgOpenStatus::NotImg:
      outcome.result = ImgRebuildResult::NotImgArchive;
      return outcome;
  }
  std::vector<ImgEntry> records;
  if (!ReadImgRecords(archive, records)) {
    outcome.result = ImgRebuildResult::DirectoryDamaged;
    return outcome;
  }
  bool v1 = archive.version == ImgVersion::V1;
  uint32_t count = static_cast<uint32_t>(records.size());

  // The new directory: each entry right after the one before.
  std::vector<ImgEntry> packed = records;
  const uint64_t firstSector = v1 ? 0 : ImgAppendSector(archive.RecordPosition(count));
  uint64_t cursor = firstSector;
  for (ImgEntry& record : packed) {
    record.offset = static_cast<uint32_t>(cursor);
    cursor += record.size;
  }
  if (cursor > UINT32_MAX) {
    outcome.result = ImgRebuildResult::DirectoryDamaged;
    return outcome;
  }
  std::vector<uint8_t> directory(count * kImgRecordSize);
  if (count > 0) std::memcpy(directory.data(), packed.data(), directory.size());
  uint64_t dataBytes = cursor * kImgSectorSize;
  outcome.oldBytes = archive.dataSize + (v1 ? archive.directoryFileSize : 0);
  outcome.newBytes = dataBytes + (v1 ? directory.size() : 0);
  std::optional<uint64_t> free = FreeSpaceBeside(archive.dataPath);
  if (free && *free < outcome.newBytes) {
    outcome.result = ImgRebuildResult::NoSpace;
    outcome.freeBytes = *free;
    return outcome;
  }

  Temporary data(archive.dataPath);
  if (!data.file.IsOpen()) {
    outcome.result = ImgRebuildResult::WriteFailed;
    return outcome;
  }
  uint64_t written = 0;
  if (!v1) {
    std::vector<uint8_t> head(static_cast<size_t>(firstSector * kImgSectorSize));
    std::memcpy(head.data(), "VER2", 4);
    std::memcpy(head.data() + 4, &count, 4);
    if (!directory.empty()) std::memcpy(head.data() + kImgHeaderSize, directory.data(), directory.size());
    if (!data.file.Write(head.data(), head.size())) {
      outcome.result = ImgRebuildResult::WriteFailed;
      return outcome;
    }
    written = head.size();
  }
  outcome.result = CopyEntries(archive, records, data.file, written, dataBytes, progress);
  if (outcome.result != ImgRebuildResult::Done) return outcome;
  if (!data.Finish()) {
    outcome.result = ImgRebuildResult::WriteFailed;
    return outcome;
  }
  archive.data.Close();
  archive.directoryFile.Close();

  if (!v1) {
    if (!MoveFileOver(data.path, archive.dataPath).ok()) {
      outcome.result = ImgRebuildResult::WriteFailed;
      return outcome;
    }
    data.path.clear();
    return outcome;
  }
  // A pair: the new ".dir" too, then both renamed into place as one change.
  Temporary directoryFile(archive.directoryPath);
  if (!directoryFile.file.IsOpen() ||
      (!directory.empty() && !directoryFile.file.Write(directory.data(), directory.size())) ||
      !directoryFile.Finish()) {
    outcome.result = ImgRebuildResult::WriteFailed;
    return outcome;
  }
  WriteJournal journal;
  journal.Rename(FileName(data.path), FileName(archive.dataPath));
  journal.Rename(FileName(directoryFile.path), FileName(archive.directoryPath));
  switch (journal.Commit(FolderPart(archive.dataPath))) {
    case WriteJournal::Outcome::Made:
      data.path.clear();
      directoryFile.path.clear();
      break;
    case WriteJournal::Outcome::NothingMade:
      outcome.result = ImgRebuildResult::WriteFailed;
      break;
    case WriteJournal::Outcome::Pending:
      // The journal renames them at the next start: they must stay.
      data.path.clear();
      directoryFile.path.clear();
      outcome.result = ImgRebuildResult::Pending;
      break;
  }
  return outcome;
}

}  // namespace zam
