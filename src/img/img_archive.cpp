#include "img/img_archive.h"

#include <algorithm>
#include <cstring>

#include "base/byte_reader.h"
#include "base/text.h"

namespace zam {
namespace {

constexpr uint64_t kHeaderSize = 8;  // tag and entry count
constexpr size_t kRecordSize = sizeof(ImgEntry);
// The directory is read this many records at a time, so a count that the
// file cannot back never decides an allocation.
constexpr size_t kRecordsPerRead = 512;
// Entry data are copied this many bytes at a time; a whole number of sectors.
constexpr size_t kCopyBlock = 32 * kImgSectorSize;


enum class OpenStatus { Ok, CannotOpen, NotImg };

// An archive opened and its header read; the file is positioned at the first
// directory record.
struct Archive {
  File file;
  uint64_t size = 0;
  uint32_t count = 0;
  bool countMissing = false;  // the file ends inside the header

  // End of the directory records the file actually holds.
  uint64_t DirectoryEnd() const {
    uint64_t held = size > kHeaderSize ? (size - kHeaderSize) / kRecordSize : 0;
    return kHeaderSize + std::min<uint64_t>(count, held) * kRecordSize;
  }
};

OpenStatus OpenArchive(File file, Archive& archive) {
  if (!file.IsOpen()) return OpenStatus::CannotOpen;
  std::optional<uint64_t> size = file.Size();
  if (!size) return OpenStatus::CannotOpen;
  uint8_t header[kHeaderSize];
  size_t got = file.Read(header, sizeof header);
  static constexpr char kTag[] = "ver2";
  if (got < 4) return OpenStatus::NotImg;
  for (size_t i = 0; i < 4; ++i) {
    if (AsciiLower(static_cast<char>(header[i])) != kTag[i]) return OpenStatus::NotImg;
  }
  ByteReader reader(header + 4, got - 4);
  archive.count = reader.Read<uint32_t>();
  archive.countMissing = reader.Overrun();
  archive.size = *size;
  archive.file = std::move(file);
  return OpenStatus::Ok;
}

// Walks the directory records in order, reading them in bounded chunks.
class DirectoryReader {
 public:
  explicit DirectoryReader(Archive& archive)
      : file_(archive.file), remaining_(archive.count), truncated_(archive.countMissing) {}

  // The next record and its byte position; false at the end of the
  // directory or where the file ends first.
  bool Next(ImgEntry& entry, uint64_t& recordPosition) {
    if (chunk_.AtEnd() && !ReadChunk()) return false;
    recordPosition = chunkStart_ + chunk_.Position();
    entry.offset = chunk_.Read<uint32_t>();
    entry.size = chunk_.Read<uint32_t>();
    chunk_.ReadBytes(entry.name, kImgNameSize);
    return true;
  }

  bool Truncated() const { return truncated_; }

 private:
  bool ReadChunk() {
    if (remaining_ == 0) return false;
    size_t want = std::min<size_t>(remaining_, kRecordsPerRead);
    chunkStart_ += chunk_.Size();
    size_t records = file_.Read(buffer_, want * kRecordSize) / kRecordSize;
    if (records < want) {
      truncated_ = true;
      remaining_ = 0;
    } else {
      remaining_ -= static_cast<uint32_t>(want);
    }
    chunk_ = ByteReader(buffer_, records * kRecordSize);
    return records > 0;
  }

  File& file_;
  uint32_t remaining_;
  bool truncated_;
  uint64_t chunkStart_ = kHeaderSize;
  uint8_t buffer_[kRecordsPerRead * kRecordSize];
  ByteReader chunk_{buffer_, 0};
};

bool FindEntry(Archive& archive, const std::string& name, ImgEntry& found, uint64_t& recordPosition) {
  DirectoryReader directory(archive);
  ImgEntry entry;
  uint64_t position;
  while (directory.Next(entry, position)) {
    if (ImgEntryNameMatches(entry, name)) {
      found = entry;
      recordPosition = position;
      return true;
    }
  }
  return false;
}

// Copies the entry's sectors that exist in the archive into `out` from its
// start, then rewinds `out`.
ImgExtractResult CopyEntry(Archive& archive, const ImgEntry& entry, File& out) {
  uint64_t start = ImgSectorPosition(entry.offset);
  uint64_t length = ImgSectorPosition(entry.size);
  uint64_t available = start < archive.size ? std::min(length, archive.size - start) : 0;
  if (!out.Seek(0)) return ImgExtractResult::WriteFailed;
  uint64_t copied = 0;
  if (available > 0 && archive.file.Seek(start)) {
    std::vector<uint8_t> block(static_cast<size_t>(std::min<uint64_t>(available, kCopyBlock)));
    while (copied < available) {
      size_t want = static_cast<size_t>(std::min<uint64_t>(available - copied, block.size()));
      size_t got = archive.file.Read(block.data(), want);
      if (got > 0 && !out.Write(block.data(), got)) return ImgExtractResult::WriteFailed;
      copied += got;
      if (got < want) break;  // the archive shrank meanwhile
    }
  }
  if (!out.Seek(0)) return ImgExtractResult::WriteFailed;
  return copied == length ? ImgExtractResult::Extracted : ImgExtractResult::EntryTruncated;
}

ImgExtractResult NotOpened(OpenStatus status) {
  return status == OpenStatus::CannotOpen ? ImgExtractResult::ArchiveCannotOpen : ImgExtractResult::NotImgArchive;
}

// Deletes a file when it goes out of scope; declared before the file's
// handle so that the handle is closed first.
class DeleteOnExit {
 public:
  explicit DeleteOnExit(const std::string& path) : path_(path) {}
  ~DeleteOnExit() { RemoveFile(path_); }
  DeleteOnExit(const DeleteOnExit&) = delete;
  DeleteOnExit& operator=(const DeleteOnExit&) = delete;

 private:
  const std::string& path_;
};

// Writes `sectors` whole sectors at the file's position: the package's bytes,
// then zeros.
bool WriteSectors(File& package, File& archive, uint64_t sectors) {
  std::vector<uint8_t> block(kCopyBlock);
  uint64_t left = sectors * kImgSectorSize;
  while (left > 0) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
    size_t got = package.Read(block.data(), want);
    std::fill(block.begin() + static_cast<std::ptrdiff_t>(got), block.begin() + static_cast<std::ptrdiff_t>(want), 0);
    if (!archive.Write(block.data(), want)) return false;
    left -= want;
  }
  return true;
}

// True when a record other than the one at `own` claims any of the `count`
// sectors from `first`: a damaged or hand-edited directory where writing
// there would change another entry too.
bool SharesSectors(Archive& archive, uint64_t own, uint64_t first, uint64_t count) {
  if (!archive.file.Seek(kHeaderSize)) return true;
  DirectoryReader directory(archive);
  ImgEntry entry;
  uint64_t position;
  while (directory.Next(entry, position)) {
    bool overlaps = entry.offset < first + count && first < uint64_t{entry.offset} + entry.size;
    if (position != own && entry.size > 0 && overlaps) return true;
  }
  return false;
}

// How far past the archive's end an append may start to stay clear of the
// sectors records claim there: those of an archive cut short by as much as
// 4 GB. Further out, a record is damaged and the write-back refused.
constexpr uint64_t kMaxAppendGapSectors = (uint64_t{4} << 30) / kImgSectorSize;

// The sector after the last one that a record other than the one at `own`
// claims, 0 when none claims any; nothing when the directory cannot be read.
std::optional<uint64_t> OthersEnd(Archive& archive, uint64_t own) {
  if (!archive.file.Seek(kHeaderSize)) return std::nullopt;
  DirectoryReader directory(archive);
  ImgEntry entry;
  uint64_t position;
  uint64_t end = 0;
  while (directory.Next(entry, position)) {
    if (position != own && entry.size > 0) end = std::max(end, uint64_t{entry.offset} + entry.size);
  }
  return end;
}

// The offset and size fields of a record, as stored.
struct RecordFields {
  uint8_t bytes[8];
  explicit RecordFields(const ImgEntry& entry) {
    std::memcpy(bytes, &entry.offset, 4);
    std::memcpy(bytes + 4, &entry.size, 4);
  }
};

// True when the file holds `bytes` at `position`.
bool Holds(File& file, uint64_t position, const uint8_t* bytes, size_t size) {
  if (!file.Seek(position)) return false;
  std::vector<uint8_t> block(std::min(size, kCopyBlock));
  for (size_t done = 0; done < size;) {
    size_t want = std::min(size - done, block.size());
    if (file.Read(block.data(), want) != want || std::memcmp(block.data(), bytes + done, want) != 0) return false;
    done += want;
  }
  return true;
}

// What a write-back changes in the archive, kept so that a failed one can be
// undone: the old size, the bytes overwritten inside it, the old record.
struct Undo {
  Undo(uint64_t archiveSize, uint64_t recordAt, const ImgEntry& entry)
      : size(archiveSize), recordPosition(recordAt), record(entry) {}

  uint64_t size;
  uint64_t recordPosition;
  RecordFields record;
  bool recordTouched = false;
  uint64_t dataStart = 0;
  std::vector<uint8_t> overwritten;

  // Keeps the archive's bytes that writing `length` bytes from `start` covers.
  bool Keep(File& archive, uint64_t start, uint64_t length) {
    dataStart = start;
    if (start >= size) return true;
    overwritten.resize(static_cast<size_t>(std::min(length, size - start)));
    return archive.Seek(start) && archive.Read(overwritten.data(), overwritten.size()) == overwritten.size();
  }

  // False when the archive differs from what it was. The size is set only
  // where it changed, as Wine fails to set a file on a full disk to the size
  // it has. A step may also fail without changing anything (a write stopping
  // at a file size limit where the failed write stopped too), so what the
  // archive holds afterwards is read back and compared rather than trusting
  // the steps' results.
  bool Apply(File& archive) const {
    if (recordTouched && archive.Seek(recordPosition)) archive.Write(record.bytes, sizeof record.bytes);
    if (!overwritten.empty() && archive.Seek(dataStart)) archive.Write(overwritten.data(), overwritten.size());
    if (archive.Size() != size) archive.SetSize(size);
    archive.Flush();
    bool recordBack = !recordTouched || Holds(archive, recordPosition, record.bytes, sizeof record.bytes);
    bool dataBack = overwritten.empty() || Holds(archive, dataStart, overwritten.data(), overwritten.size());
    return archive.Size() == size && recordBack && dataBack;
  }
};

}  // namespace

std::string ImgEntryName(const ImgEntry& entry) { return NameText(entry.name); }

bool ImgEntryNameMatches(const ImgEntry& entry, const std::string& name) {
  return EqualIgnoringAsciiCase(std::string_view(entry.name, NameLength(entry.name, kImgNameSize)), name);
}

std::string ImgDictionaryName(const std::string& modelName) {
  size_t dot = modelName.find_last_of('.');
  if (dot == std::string::npos) return std::string();
  std::string rest = modelName.size() - dot > 4 ? modelName.substr(dot + 4) : std::string();
  return modelName.substr(0, dot + 1) + "txd" + rest;
}

ImgListResult ListImgEntries(const std::string& archivePath, std::vector<ImgEntry>& entries) {
  entries.clear();
  Archive archive;
  OpenStatus status = OpenArchive(File::OpenRead(archivePath), archive);
  if (status != OpenStatus::Ok) {
    return status == OpenStatus::CannotOpen ? ImgListResult::ArchiveCannotOpen : ImgListResult::NotImgArchive;
  }
  entries.reserve(static_cast<size_t>((archive.DirectoryEnd() - kHeaderSize) / kRecordSize));
  DirectoryReader directory(archive);
  ImgEntry entry;
  uint64_t position;
  while (directory.Next(entry, position)) entries.push_back(entry);
  return directory.Truncated() ? ImgListResult::DirectoryTruncated : ImgListResult::Listed;
}

ImgExtractResult ExtractImgEntry(const std::string& archivePath, const std::string& entryName, File& out) {
  Archive archive;
  OpenStatus status = OpenArchive(File::OpenRead(archivePath), archive);
  if (status != OpenStatus::Ok) return NotOpened(status);
  ImgEntry entry;
  uint64_t position;
  if (!FindEntry(archive, entryName, entry, position)) return ImgExtractResult::EntryNotFound;
  return CopyEntry(archive, entry, out);
}

ImgModelExtractResult ExtractImgModel(const std::string& archivePath, const std::string& modelName, File& modelOut,
                                      File& dictionaryOut) {
  Archive archive;
  OpenStatus status = OpenArchive(File::OpenRead(archivePath), archive);
  if (status != OpenStatus::Ok) return {NotOpened(status), NotOpened(status)};

  // One pass finds the first record of each name.
  std::string dictionaryName = ImgDictionaryName(modelName);
  bool modelFound = false;
  bool dictionaryFound = false;
  ImgEntry model{}, dictionary{}, entry;
  uint64_t position;
  DirectoryReader directory(archive);
  while ((!modelFound || (!dictionaryFound && !dictionaryName.empty())) && directory.Next(entry, position)) {
    if (!modelFound && ImgEntryNameMatches(entry, modelName)) {
      model = entry;
      modelFound = true;
    }
    if (!dictionaryFound && !dictionaryName.empty() && ImgEntryNameMatches(entry, dictionaryName)) {
      dictionary = entry;
      dictionaryFound = true;
    }
  }
  ImgModelExtractResult result{ImgExtractResult::EntryNotFound, ImgExtractResult::EntryNotFound};
  if (modelFound) result.model = CopyEntry(archive, model, modelOut);
  if (dictionaryFound) result.dictionary = CopyEntry(archive, dictionary, dictionaryOut);
  return result;
}

ImgWriteBackResult WriteBackImgEntry(const std::string& archivePath, const std::string& entryName,
                                     const std::string& packageFilePath) {
  DeleteOnExit deletePackage(packageFilePath);
  File package = File::OpenRead(packageFilePath);
  std::optional<uint64_t> packageSize = package.Size();
  if (!packageSize) return ImgWriteBackResult::NothingWritten;
  uint64_t needed = ImgSectorsNeeded(*packageSize);
  if (needed > UINT32_MAX) return ImgWriteBackResult::NothingWritten;

  Archive archive;
  OpenStatus status = OpenArchive(File::OpenReadWrite(archivePath), archive);
  if (status == OpenStatus::CannotOpen) return ImgWriteBackResult::ArchiveCannotOpen;
  if (status == OpenStatus::NotImg) return ImgWriteBackResult::NothingWritten;
  ImgEntry entry;
  uint64_t recordPosition;
  if (!FindEntry(archive, entryName, entry, recordPosition)) return ImgWriteBackResult::NothingWritten;

  // In place only where the entry has room and its sectors start inside the
  // archive after the directory; a damaged record must not lead the data over
  // the directory, far beyond the end of the file, or over another entry.
  uint64_t start = ImgSectorPosition(entry.offset);
  bool inPlace = entry.size >= needed && start >= archive.DirectoryEnd() && start <= archive.size &&
                 !SharesSectors(archive, recordPosition, entry.offset, needed);
  Undo undo(archive.size, recordPosition, entry);
  if (!inPlace) {
    // After every sector a record claims: another's may lie past the end of
    // the archive and must not come to hold the package, and the entry's own
    // keep its data until its record points elsewhere (only those inside the
    // archive hold any). Sectors past all of them belong to no entry, as an
    // interrupted save leaves them, and are written over; the directory is
    // not, though its records may claim nothing beyond it.
    std::optional<uint64_t> othersEnd = OthersEnd(archive, recordPosition);
    if (!othersEnd) return ImgWriteBackResult::NothingWritten;
    uint64_t archiveEnd = ImgAppendSector(archive.size);
    uint64_t ownEnd = entry.size > 0 && entry.offset < archiveEnd
                          ? std::min(uint64_t{entry.offset} + entry.size, archiveEnd)
                          : 0;
    uint64_t appendAt = std::max({*othersEnd, ownEnd, ImgAppendSector(archive.DirectoryEnd())});
    // A record far past the end is damage, not data: following it would
    // make the archive terabytes long (Windows fills the gap with zeros).
    bool farPastTheEnd = appendAt > archiveEnd + kMaxAppendGapSectors;
    if (appendAt > UINT32_MAX || farPastTheEnd) return ImgWriteBackResult::NothingWritten;
    entry.offset = static_cast<uint32_t>(appendAt);
    entry.size = static_cast<uint32_t>(needed);
  }
  uint64_t dataStart = ImgSectorPosition(entry.offset);
  if (!undo.Keep(archive.file, dataStart, needed * kImgSectorSize)) return ImgWriteBackResult::NothingWritten;

  // Appended data go first and reach the disk before the record points at
  // them, so a save killed before the record changes leaves the old entry
  // intact. The sectors it appended are then only lost space until the next
  // append writes over them: nothing reaches data but through a record. A
  // failure (a full disk) is undone here, so it neither grows nor changes
  // the archive.
  bool written = archive.file.Seek(dataStart) && WriteSectors(package, archive.file, needed) && archive.file.Flush();
  if (written && !inPlace) {
    RecordFields record(entry);
    undo.recordTouched = true;
    written = archive.file.Seek(recordPosition) && archive.file.Write(record.bytes, sizeof record.bytes) &&
              archive.file.Flush();
  }
  if (!written) {
    return undo.Apply(archive.file) ? ImgWriteBackResult::WriteFailed : ImgWriteBackResult::NotRestored;
  }
  // No record claims a sector past the appended package: what an interrupted
  // save left there goes. Should cutting fail, that space is merely lost.
  uint64_t packageEnd = dataStart + needed * kImgSectorSize;
  if (!inPlace && archive.file.Size().value_or(0) > packageEnd) archive.file.SetSize(packageEnd);
  return ImgWriteBackResult::Written;
}

}  // namespace zam
