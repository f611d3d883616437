#include "img/img_archive_file.h"

#include <algorithm>
#include <cstring>

#include "base/byte_reader.h"
#include "base/text.h"

namespace zam {
namespace {

File Open(const std::string& path, bool forWriting) {
  return forWriting ? File::OpenReadWrite(path) : File::OpenRead(path);
}

bool HasVer2Tag(const uint8_t* bytes, size_t size) {
  static constexpr char kTag[] = "ver2";
  if (size < 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    if (AsciiLower(static_cast<char>(bytes[i])) != kTag[i]) return false;
  }
  return true;
}

}  // namespace

uint32_t ImgArchiveFiles::HeldCount() const {
  uint64_t start = DirectoryStart();
  uint64_t held = directoryFileSize > start ? (directoryFileSize - start) / kImgRecordSize : 0;
  return static_cast<uint32_t>(std::min<uint64_t>(count, held));
}

ImgOpenStatus OpenImgArchive(const std::string& path, bool forWriting, ImgArchiveFiles& archive) {
  bool namesDirectory = EndsWithIgnoringAsciiCase(path, ".dir");
  archive.dataPath = namesDirectory ? ImgPairPartner(path) : path;
  archive.data = Open(archive.dataPath, forWriting);
  if (!archive.data.IsOpen()) return ImgOpenStatus::CannotOpen;
  std::optional<uint64_t> size = archive.data.Size();
  if (!size) return ImgOpenStatus::CannotOpen;
  archive.dataSize = *size;
  uint8_t header[kImgHeaderSize];
  size_t got = archive.data.Read(header, sizeof header);
  if (!namesDirectory && HasVer2Tag(header, got)) {
    archive.version = ImgVersion::V2;
    archive.directoryPath = archive.dataPath;
    archive.directoryFileSize = archive.dataSize;
    ByteReader reader(header + 4, got - 4);
    archive.count = reader.Read<uint32_t>();
    archive.countMissing = reader.Overrun();
    return ImgOpenStatus::Ok;
  }
  // No tag: version 1 when a ".dir" lies beside.
  archive.directoryPath = namesDirectory ? path : ImgPairPartner(path);
  if (archive.directoryPath.empty()) return ImgOpenStatus::NotImg;
  archive.directoryFile = Open(archive.directoryPath, forWriting);
  if (!archive.directoryFile.IsOpen()) return namesDirectory ? ImgOpenStatus::CannotOpen : ImgOpenStatus::NotImg;
  std::optional<uint64_t> directorySize = archive.directoryFile.Size();
  if (!directorySize || !archive.data.Seek(0)) return ImgOpenStatus::CannotOpen;
  archive.version = ImgVersion::V1;
  archive.directoryFileSize = *directorySize;
  // A record cut short (an append killed half-way) is not one.
  archive.count = static_cast<uint32_t>(std::min<uint64_t>(*directorySize / kImgRecordSize, UINT32_MAX));
  archive.countMissing = false;
  return ImgOpenStatus::Ok;
}

bool ReadImgRecords(ImgArchiveFiles& archive, std::vector<ImgEntry>& records) {
  records.clear();
  if (archive.countMissing || archive.HeldCount() < archive.count || archive.count > kMaxImgRecords) return false;
  std::vector<uint8_t> bytes(size_t{archive.count} * kImgRecordSize);
  File& directory = archive.directory();
  if (!directory.Seek(archive.DirectoryStart()) || directory.Read(bytes.data(), bytes.size()) != bytes.size()) {
    return false;
  }
  records.resize(archive.count);
  if (!bytes.empty()) std::memcpy(records.data(), bytes.data(), bytes.size());
  return true;
}

}  // namespace zam
