#include "img/img_edit.h"

#include <algorithm>
#include <cstring>

#include "img/img_archive.h"
#include "img/img_archive_file.h"
#include "platform/sibling_temporary.h"
#include "platform/write_journal.h"

namespace zam {
namespace {

// Entry data are copied this many bytes at a time; a whole number of sectors.
constexpr size_t kCopyBlock = 512 * kImgSectorSize;
// How far past the archive's end new data may start to stay clear of the
// sectors records claim there: those of an archive cut short by as much as
// 4 GB. Further out, a record is damaged and nothing is written.
constexpr uint64_t kMaxAppendGapSectors = (uint64_t{4} << 30) / kImgSectorSize;
// Writes within one sector of the disk reach it whole or not at all.
constexpr uint64_t kDiskSector = 512;

struct EditedArchive {
  ImgArchiveFiles files;
  std::vector<ImgEntry> records;

  // The sectors from the start that the header and the directory of
  // `records` records take: none in version 1, whose directory has its own file.
  uint64_t ReservedSectors(uint64_t records) const {
    return files.version == ImgVersion::V1 ? 0 : ImgAppendSector(files.RecordPosition(static_cast<uint32_t>(records)));
  }
  int Find(const std::string& name) const {
    for (size_t i = 0; i < records.size(); ++i) {
      if (ImgEntryNameMatches(records[i], name)) return static_cast<int>(i);
    }
    return -1;
  }
};

ImgEditResult OpenForEditing(const std::string& path, EditedArchive& archive) {
  switch (OpenImgArchive(path, true, archive.files)) {
    case ImgOpenStatus::Ok:
      break;
    case ImgOpenStatus::CannotOpen:
      return ImgEditResult::ArchiveCannotOpen;
    case ImgOpenStatus::NotImg:
      return ImgEditResult::NotImgArchive;
  }
  if (!ReadImgRecords(archive.files, archive.records)) return ImgEditResult::DirectoryDamaged;
  return ImgEditResult::Done;
}

// Where `sectors` sectors of new data go: the first hole at least that large
// between the reserved sectors and the claimed ones, else after the last
// sector claimed. Nothing when that lies far past the end (a damaged record)
// or beyond what a record can count.
std::optional<uint64_t> PlaceData(const EditedArchive& archive, uint64_t reserved, uint64_t sectors) {
  std::vector<std::pair<uint64_t, uint64_t>> claimed;
  claimed.reserve(archive.records.size() + 1);
  if (reserved > 0) claimed.emplace_back(0, reserved);
  for (const ImgEntry& record : archive.records) {
    if (record.size > 0) claimed.emplace_back(record.offset, uint64_t{record.offset} + record.size);
  }
  std::sort(claimed.begin(), claimed.end());
  uint64_t cursor = 0;
  for (const auto& [start, end] : claimed) {
    if (start >= cursor + sectors && sectors > 0) return cursor;
    cursor = std::max(cursor, end);
  }
  uint64_t fileEnd = ImgAppendSector(archive.files.dataSize);
  if (cursor > fileEnd + kMaxAppendGapSectors || cursor + sectors > UINT32_MAX) return std::nullopt;
  return cursor;
}

// Writes `size` bytes and zeros after them up to `sectors` whole sectors at
// `sector`, and makes them durable.
bool WriteData(File& data, uint64_t sector, const uint8_t* bytes, size_t size, uint64_t sectors) {
  if (!data.Seek(ImgSectorPosition(static_cast<uint32_t>(sector)))) return false;
  if (size > 0 && !data.Write(bytes, size)) return false;
  std::vector<uint8_t> zeros(static_cast<size_t>(sectors * kImgSectorSize - size));
  return (zeros.empty() || data.Write(zeros.data(), zeros.size())) && data.Flush();
}

// Copies `sectors` sectors within the data file, from `from` to `to` (which
// do not overlap), and makes them durable; sectors past the end read as zeros.
bool CopySectors(File& data, uint64_t from, uint64_t to, uint64_t sectors) {
  std::vector<uint8_t> block(kCopyBlock);
  uint64_t left = sectors * kImgSectorSize;
  uint64_t done = 0;
  while (left > 0) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
    size_t got = data.Seek(from * kImgSectorSize + done) ? data.Read(block.data(), want) : 0;
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(got), block.begin() + static_cast<std::ptrdiff_t>(want), 0);
    if (!data.Seek(to * kImgSectorSize + done) || !data.Write(block.data(), want)) return false;
    left -= want;
    done += want;
  }
  return data.Flush();
}

bool WriteAt(File& file, uint64_t position, const void* bytes, size_t size) {
  return file.Seek(position) && file.Write(bytes, size) && file.Flush();
}

// One write of the record's 32 bytes.
bool WriteRecord(EditedArchive& archive, uint32_t index, const ImgEntry& record) {
  return WriteAt(archive.files.directory(), archive.files.RecordPosition(index), &record, sizeof record);
}

// The data file back to its size before a failed change: nothing points
// past it, and a file that cannot be cut is merely longer.
ImgEditResult Failed(EditedArchive& archive) {
  File& data = archive.files.data;
  if (data.Size().value_or(0) > archive.files.dataSize) {
    data.SetSize(archive.files.dataSize);
    data.Flush();
  }
  return ImgEditResult::WriteFailed;
}

// Points record `index` at a copy of its data, or at new data, placed in
// free sectors and made durable first.
ImgEditResult MoveEntry(EditedArchive& archive, uint32_t index, uint64_t reserved, const std::vector<uint8_t>* bytes,
                        uint64_t sectors) {
  std::optional<uint64_t> place = PlaceData(archive, reserved, sectors);
  if (!place) return ImgEditResult::DirectoryDamaged;
  ImgEntry record = archive.records[index];
  File& data = archive.files.data;
  bool written = bytes ? WriteData(data, *place, bytes->data(), bytes->size(), sectors)
                       : CopySectors(data, record.offset, *place, sectors);
  record.offset = static_cast<uint32_t>(*place);
  record.size = static_cast<uint32_t>(sectors);
  if (!written || !WriteRecord(archive, index, record)) {
    // A record write that failed changed nothing, or is put back here.
    WriteRecord(archive, index, archive.records[index]);
    return Failed(archive);
  }
  archive.records[index] = record;
  return ImgEditResult::Done;
}

// Sectors past every record's, which a killed change may have left, are cut
// off once a change has put data at the end.
void CutUnclaimedEnd(EditedArchive& archive) {
  uint64_t end = archive.ReservedSectors(archive.records.size());
  for (const ImgEntry& record : archive.records) {
    if (record.size > 0) end = std::max(end, uint64_t{record.offset} + record.size);
  }
  File& data = archive.files.data;
  if (data.Size().value_or(0) > end * kImgSectorSize) data.SetSize(end * kImgSectorSize);
}

std::string FileName(const std::string& path) { return path.substr(FolderPart(path).size()); }

std::vector<uint8_t> RecordBytes(const ImgEntry* records, size_t count) {
  std::vector<uint8_t> bytes(count * kImgRecordSize);
  if (count > 0) std::memcpy(bytes.data(), records, bytes.size());
  return bytes;
}

std::vector<uint8_t> CountBytes(uint32_t count) {
  std::vector<uint8_t> bytes(4);
  std::memcpy(bytes.data(), &count, 4);
  return bytes;
}

ImgEditResult CommitJournal(EditedArchive& archive, const WriteJournal& journal) {
  // The journal opens the files itself (Windows would refuse them while open here).
  std::string folder = FolderPart(archive.files.directoryPath);
  archive.files.data.Close();
  archive.files.directoryFile.Close();
  switch (journal.Commit(folder)) {
    case WriteJournal::Outcome::Made:
      return ImgEditResult::Done;
    case WriteJournal::Outcome::NothingMade:
      return ImgEditResult::WriteFailed;
    case WriteJournal::Outcome::Pending:
      break;
  }
  return ImgEditResult::Pending;
}

void SetName(ImgEntry& record, const std::string& name) {
  std::memset(record.name, 0, kImgNameSize);
  std::memcpy(record.name, name.data(), std::min(name.size(), kImgMaxNameLength));
}

}  // namespace

bool IsValidImgEntryName(const std::string& name) {
  if (name.empty() || name.size() > kImgMaxNameLength) return false;
  return std::none_of(name.begin(), name.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == '/'; });
}

ImgEditResult PutImgEntry(const std::string& archivePath, const std::string& name, const std::vector<uint8_t>& bytes) {
  uint64_t sectors = ImgSectorsNeeded(bytes.size());
  if (sectors > UINT32_MAX) return ImgEditResult::TooLarge;
  EditedArchive archive;
  if (ImgEditResult opened = OpenForEditing(archivePath, archive); opened != ImgEditResult::Done) return opened;
  int index = archive.Find(name);
  if (index < 0) return ImgEditResult::EntryNotFound;
  ImgEditResult moved = MoveEntry(archive, static_cast<uint32_t>(index),
                                  archive.ReservedSectors(archive.records.size()), &bytes, sectors);
  if (moved == ImgEditResult::Done) CutUnclaimedEnd(archive);
  return moved;
}

ImgEditResult AddImgEntry(const std::string& archivePath, const std::string& name, const std::vector<uint8_t>& bytes) {
  if (!IsValidImgEntryName(name)) return ImgEditResult::NameInvalid;
  uint64_t sectors = ImgAppendSector(bytes.size());
  if (sectors > UINT32_MAX) return ImgEditResult::TooLarge;
  EditedArchive archive;
  if (ImgEditResult opened = OpenForEditing(archivePath, archive); opened != ImgEditResult::Done) return opened;
  if (archive.Find(name) >= 0) return ImgEditResult::NameTaken;
  if (archive.records.size() >= kMaxImgRecords) return ImgEditResult::TooLarge;
  uint32_t count = static_cast<uint32_t>(archive.records.size());

  // A version 2 directory growing into an entry's sectors moves that entry
  // away first; each move leaves the archive whole.
  uint64_t reserved = archive.ReservedSectors(count + 1);
  for (uint32_t i = 0; i < count; ++i) {
    const ImgEntry& record = archive.records[i];
    if (record.size == 0 || record.offset >= reserved) continue;
    if (ImgEditResult moved = MoveEntry(archive, i, reserved, nullptr, record.size); moved != ImgEditResult::Done) {
      return moved;
    }
  }
  std::optional<uint64_t> place = PlaceData(archive, reserved, sectors);
  if (!place) return ImgEditResult::DirectoryDamaged;
  ImgEntry record{};
  record.offset = static_cast<uint32_t>(*place);
  record.size = static_cast<uint32_t>(sectors);
  SetName(record, name);
  if (!WriteData(archive.files.data, *place, bytes.data(), bytes.size(), sectors) ||
      !WriteRecord(archive, count, record)) {
    return Failed(archive);
  }
  if (archive.files.version == ImgVersion::V2) {
    // The count takes the new record in: 4 bytes in the first disk sector.
    uint32_t newCount = count + 1;
    if (!WriteAt(archive.files.data, 4, &newCount, sizeof newCount)) return Failed(archive);
  }
  archive.records.push_back(record);
  CutUnclaimedEnd(archive);
  return ImgEditResult::Done;
}

ImgEditResult DeleteImgEntry(const std::string& archivePath, const std::string& name) {
  EditedArchive archive;
  if (ImgEditResult opened = OpenForEditing(archivePath, archive); opened != ImgEditResult::Done) return opened;
  int found = archive.Find(name);
  if (found < 0) return ImgEditResult::EntryNotFound;
  uint32_t index = static_cast<uint32_t>(found);
  uint32_t count = static_cast<uint32_t>(archive.records.size());
  bool v1 = archive.files.version == ImgVersion::V1;
  if (index + 1 == count) {
    // The last record goes with one change of the count or the ".dir"'s length.
    bool changed = v1 ? archive.files.directoryFile.SetSize(archive.files.RecordPosition(index)) &&
                            archive.files.directoryFile.Flush()
                      : WriteAt(archive.files.data, 4, &index, sizeof index);
    return changed ? ImgEditResult::Done : ImgEditResult::WriteFailed;
  }
  std::string directoryName = FileName(archive.files.directoryPath);
  std::vector<uint8_t> moved = RecordBytes(archive.records.data() + index + 1, count - index - 1);
  WriteJournal journal;
  if (v1) {
    journal.Write(directoryName, archive.files.RecordPosition(index), moved);
    journal.SetSize(directoryName, archive.files.RecordPosition(count - 1));
  } else {
    moved.resize(moved.size() + kImgRecordSize, 0);  // the last slot, no longer a record
    journal.Write(directoryName, archive.files.RecordPosition(index), moved);
    journal.Write(directoryName, 4, CountBytes(count - 1));
  }
  return CommitJournal(archive, journal);
}

ImgEditResult RenameImgEntry(const std::string& archivePath, const std::string& oldName, const std::string& newName) {
  if (!IsValidImgEntryName(newName)) return ImgEditResult::NameInvalid;
  EditedArchive archive;
  if (ImgEditResult opened = OpenForEditing(archivePath, archive); opened != ImgEditResult::Done) return opened;
  int index = archive.Find(oldName);
  if (index < 0) return ImgEditResult::EntryNotFound;
  int clash = archive.Find(newName);
  if (clash >= 0 && clash != index) return ImgEditResult::NameTaken;
  ImgEntry record = archive.records[static_cast<size_t>(index)];
  SetName(record, newName);
  uint64_t position = archive.files.RecordPosition(static_cast<uint32_t>(index)) + offsetof(ImgEntry, name);
  if (position / kDiskSector == (position + kImgNameSize - 1) / kDiskSector) {
    return WriteAt(archive.files.directory(), position, record.name, kImgNameSize) ? ImgEditResult::Done
                                                                                   : ImgEditResult::WriteFailed;
  }
  // The name crosses a disk sector, whose halves may reach it apart.
  WriteJournal journal;
  journal.Write(FileName(archive.files.directoryPath), position,
                std::vector<uint8_t>(record.name, record.name + kImgNameSize));
  return CommitJournal(archive, journal);
}

}  // namespace zam
