#include "img/img_archive.h"


#include <algorithm>
#include <cstring>

#include "base/byte_reader.h"
#include "base/text.h"
#include "img/img_archive_file.h"
#include "platform/file.h"

namespace zam {
namespace {

// The directory is read this many records at a time, so a count that the
// file cannot back never decides an allocation.
constexpr size_t kRecordsPerRead = 512;
// Entry data are copied this many bytes at a time; a whole number of sectors.
constexpr size_t kCopyBlock = 32 * kImgSectorSize;

// Walks the directory records in order, reading them in bounded chunks.
class DirectoryReader {
 public:
  explicit DirectoryReader(ImgArchiveFiles& archive)
      : file_(archive.directory()),
        remaining_(archive.count),
        truncated_(archive.countMissing),
        chunkStart_(archive.DirectoryStart()) {}

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
    size_t records = file_.Read(buffer_, want * kImgRecordSize) / kImgRecordSize;
    if (records < want) {
      truncated_ = true;
      remaining_ = 0;
    } else {
      remaining_ -= static_cast<uint32_t>(want);
    }
    chunk_ = ByteReader(buffer_, records * kImgRecordSize);
    return records > 0;
  }

  File& file_;
  uint32_t remaining_;
  bool truncated_;
  uint64_t chunkStart_;
  uint8_t buffer_[kRecordsPerRead * kImgRecordSize];
  ByteReader chunk_{buffer_, 0};
};

bool FindEntry(ImgArchiveFiles& archive, const std::string& name, ImgEntry& found, uint64_t& recordPosition) {
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
ImgExtractResult CopyEntry(ImgArchiveFiles& archive, const ImgEntry& entry, File& out) {
  uint64_t start = ImgSectorPosition(entry.offset);
  uint64_t length = ImgSectorPosition(entry.size);
  uint64_t available = start < archive.dataSize ? std::min(length, archive.dataSize - start) : 0;
  if (!out.Seek(0)) return ImgExtractResult::WriteFailed;
  uint64_t copied = 0;
  if (available > 0 && archive.data.Seek(start)) {
    std::vector<uint8_t> block(static_cast<size_t>(std::min<uint64_t>(available, kCopyBlock)));
    while (copied < available) {
      size_t want = static_cast<size_t>(std::min<uint64_t>(available - copied, block.size()));
      size_t got = archive.data.Read(block.data(), want);
      if (got > 0 && !out.Write(block.data(), got)) return ImgExtractResult::WriteFailed;
      copied += got;
      if (got < want) break;  // the archive shrank meanwhile
    }
  }
  if (!out.Seek(0)) return ImgExtractResult::WriteFailed;
  return copied == length ? ImgExtractResult::Extracted : ImgExtractResult::EntryTruncated;
}

ImgExtractResult NotOpened(ImgOpenStatus status) {
  return status == ImgOpenStatus::CannotOpen ? ImgExtractResult::ArchiveCannotOpen : ImgExtractResult::NotImgArchive;
}

}  // namespace

std::string ImgDictionaryName(const std::string& modelName) {
  size_t dot = modelName.find_last_of('.');
  if (dot == std::string::npos) return std::string();
  std::string rest = modelName.size() - dot > 4 ? modelName.substr(dot + 4) : std::string();
  return modelName.substr(0, dot + 1) + "txd" + rest;
}

ImgListResult ListImgEntries(const std::string& archivePath, std::vector<ImgEntry>& entries) {
  entries.clear();
  ImgArchiveFiles archive;
  ImgOpenStatus status = OpenImgArchive(archivePath, false, archive);
  if (status != ImgOpenStatus::Ok) {
    return status == ImgOpenStatus::CannotOpen ? ImgListResult::ArchiveCannotOpen : ImgListResult::NotImgArchive;
  }
  entries.reserve(archive.HeldCount());
  DirectoryReader directory(archive);
  ImgEntry entry;
  uint64_t position;
  while (directory.Next(entry, position)) entries.push_back(entry);
  return directory.Truncated() ? ImgListResult::DirectoryTruncated : ImgListResult::Listed;
}

ImgExtractResult ExtractImgEntry(const std::string& archivePath, const std::string& entryName, File& out) {
  ImgArchiveFiles archive;
  ImgOpenStatus status = OpenImgArchive(archivePath, false, archive);
  if (status != ImgOpenStatus::Ok) return NotOpened(status);
  ImgEntry entry;
  uint64_t position;
  if (!FindEntry(archive, entryName, entry, position)) return ImgExtractResult::EntryNotFound;
  return CopyEntry(archive, entry, out);
}

ImgModelExtractResult ExtractImgModel(const std::string& archivePath, const std::string& modelName, File& modelOut,
                                      File& dictionaryOut) {
  ImgArchiveFiles archive;
  ImgOpenStatus status = OpenImgArchive(archivePath, false, archive);
  if (status != ImgOpenStatus::Ok) return {NotOpened(status), NotOpened(status)};

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

}  // namespace zam
