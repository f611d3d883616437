#include "app/package_files.h"

#include <vector>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "img/img_edit.h"
#include "img/img_entry_bytes.h"
#include "platform/file_system.h"

namespace zam {
namespace {

PackageReadStatus ReadPackageBytes(const std::vector<uint8_t>& bytes, AnimPackage& package) {
  switch (ReadIfp(bytes.data(), bytes.size(), package)) {
    case IfpReadStatus::Ok:
      return PackageReadStatus::Read;
    case IfpReadStatus::Truncated:
      return PackageReadStatus::EndedEarly;
    case IfpReadStatus::Damaged:
      return PackageReadStatus::Damaged;
    case IfpReadStatus::UnknownFormat:
      break;
  }
  return PackageReadStatus::UnknownFormat;
}

}  // namespace

PackageReadResult ReadPackageFile(const std::string& path, AnimPackage& package) {
  std::vector<uint8_t> bytes;
  FileResult read = ReadWholeFile(path, bytes);
  if (!read.ok()) return {PackageReadStatus::CannotOpen, read.reason};
  return {ReadPackageBytes(bytes, package), {}};
}

PackageReadResult ReadPackageEntry(const std::string& archive, const std::string& entry, AnimPackage& package) {
  std::vector<uint8_t> bytes;
  ImgExtractResult extracted = ReadImgEntry(archive, entry, bytes);
  if (extracted == ImgExtractResult::ArchiveCannotOpen || extracted == ImgExtractResult::NotImgArchive) {
    return {PackageReadStatus::ArchiveUnreadable, {}};
  }
  if (!ImgEntryExtracted(extracted)) return {PackageReadStatus::CannotOpen, {}};
  return {ReadPackageBytes(bytes, package), {}};
}

std::optional<Message> ReadMessage(PackageReadStatus status) {
  switch (status) {
    case PackageReadStatus::EndedEarly:
      return Message::FileEndedEarly;
    case PackageReadStatus::Damaged:
      return Message::FileDamaged;
    case PackageReadStatus::CannotOpen:
      return Message::FileCannotOpen;
    case PackageReadStatus::UnknownFormat:
      return Message::UnknownFormat;
    case PackageReadStatus::Read:
    case PackageReadStatus::ArchiveUnreadable:
      break;
  }
  return std::nullopt;
}

PackageWriteResult SavePackageFile(const AnimPackage& package, const std::string& path) {
  // A read-only file, one another program holds open, or one that is gone,
  // cannot take the save.
  FileResult replaceable = CheckReplaceable(path);
  if (!replaceable.ok()) return {PackageWriteStatus::CannotOpen, replaceable.reason};
  return SavePackageFileAs(package, path);
}

PackageWriteResult SavePackageFileAs(const AnimPackage& package, const std::string& path) {
  std::vector<uint8_t> bytes;
  // A package in neither layout must not replace a file.
  if (WriteIfp(package, bytes) != IfpWriteStatus::Ok) return {PackageWriteStatus::UnknownFormat, {}};
  FileResult replaced = ReplaceFileAtomically(path, bytes);
  if (!replaced.ok()) return {PackageWriteStatus::CannotOpen, replaced.reason};
  return {};
}

PackageWriteResult SavePackageEntry(const AnimPackage& package, const std::string& archive, const std::string& entry) {
  std::vector<uint8_t> bytes;
  if (WriteIfp(package, bytes) != IfpWriteStatus::Ok) return {PackageWriteStatus::UnknownFormat, {}};
  switch (PutImgEntry(archive, entry, bytes)) {
    case ImgEditResult::Done:
      return {};
    case ImgEditResult::ArchiveCannotOpen:
      return {PackageWriteStatus::CannotOpen, {}};
    case ImgEditResult::WriteFailed:
      return {PackageWriteStatus::ArchiveUnchanged, {}};
    default:
      break;
  }
  return {PackageWriteStatus::NothingWritten, {}};
}

std::optional<Message> WriteMessage(PackageWriteStatus status) {
  switch (status) {
    case PackageWriteStatus::CannotOpen:
      return Message::FileCannotOpen;
    case PackageWriteStatus::UnknownFormat:
      return Message::UnknownFormat;
    case PackageWriteStatus::ArchiveUnchanged:
      return Message::ArchiveUnchanged;
    case PackageWriteStatus::Written:
    case PackageWriteStatus::NothingWritten:
      break;
  }
  return std::nullopt;
}

}  // namespace zam
