// zam img list, extract and put: IMG archives from the command line.

#include <cstdio>
#include <string>
#include <vector>

#include "base/messages.h"
#include "commands.h"
#include "img/img_archive.h"
#include "platform/file_system.h"
#include "platform/temp_file.h"

namespace zam::cli {
namespace {

constexpr char kSynopsis[] = "zam img list ARCHIVE | extract ARCHIVE ENTRY OUT | put ARCHIVE ENTRY FILE";

// Reads the directory, reporting an archive that cannot be used; false then.
bool ReadDirectory(const std::string& archive, std::vector<ImgEntry>& entries) {
  switch (ListImgEntries(archive, entries)) {
    case ImgListResult::Listed:
      return true;
    case ImgListResult::DirectoryTruncated:
      Warn(PrintablePath(archive) + ": the directory is truncated; the entries it holds were read");
      return true;
    case ImgListResult::NotImgArchive:
      Fail(PrintablePath(archive) + ": not an IMG archive with a VER2 directory");
      return false;
    case ImgListResult::ArchiveCannotOpen:
      break;
  }
  FailFile(archive, {});
  return false;
}

const ImgEntry* FindEntry(const std::vector<ImgEntry>& entries, const std::string& name) {
  for (const ImgEntry& entry : entries) {
    if (ImgEntryNameMatches(entry, name)) return &entry;
  }
  return nullptr;
}

int NoSuchEntry(const std::string& archive, const std::string& name) {
  return Fail(PrintablePath(archive) + ": no entry named " + PrintableName(name));
}

int List(const std::string& archive) {
  std::vector<ImgEntry> entries;
  if (!ReadDirectory(archive, entries)) return kExitFailure;
  for (const ImgEntry& entry : entries) {
    std::printf("%s\t%u\t%u\n", PrintableName(ImgEntryName(entry)).c_str(), entry.offset, entry.size);
  }
  return kExitOk;
}

int Extract(const std::string& archive, const std::string& name, const std::string& outPath) {
  // Looked up first, so that OUT is created only for an entry that exists.
  std::vector<ImgEntry> entries;
  if (!ReadDirectory(archive, entries)) return kExitFailure;
  if (FindEntry(entries, name) == nullptr) return NoSuchEntry(archive, name);
  File out = File::Create(outPath);
  if (!out.IsOpen()) return FailFile(outPath, {});
  ImgExtractResult result = ExtractImgEntry(archive, name, out);
  out.Close();
  if (result == ImgExtractResult::EntryTruncated) {
    Warn(PrintablePath(archive) + ": the entry runs past the end of the archive");
  }
  if (ImgEntryExtracted(result)) return kExitOk;
  RemoveFile(outPath);
  if (result == ImgExtractResult::EntryNotFound) return NoSuchEntry(archive, name);
  if (result == ImgExtractResult::WriteFailed) return Fail(PrintablePath(outPath) + ": cannot write");
  return FailFile(archive, {});
}

int Put(const std::string& archive, const std::string& name, const std::string& packagePath) {
  std::vector<uint8_t> package;
  FileResult read = ReadWholeFile(packagePath, package);
  if (!read.ok()) return FailFile(packagePath, read.reason);
  std::vector<ImgEntry> entries;
  if (!ReadDirectory(archive, entries)) return kExitFailure;
  if (FindEntry(entries, name) == nullptr) return NoSuchEntry(archive, name);

  // The write-back consumes (deletes) the file it is given: give it a copy.
  TempFile copy = TempFile::Create("ifp");
  if (!copy.IsOpen() || !copy.file().Write(package.data(), package.size())) {
    return Fail("cannot make a temporary copy of " + PrintablePath(packagePath));
  }
  switch (WriteBackImgEntry(archive, name, copy.Release())) {
    case ImgWriteBackResult::Written:
      break;
    case ImgWriteBackResult::ArchiveCannotOpen:
      return FailFile(archive, {});
    case ImgWriteBackResult::NothingWritten:
      return Fail(PrintablePath(archive) + ": nothing was written");
    case ImgWriteBackResult::WriteFailed:
      return Fail(PrintablePath(archive) + ": " + msg::kArchiveUnchanged);
    case ImgWriteBackResult::NotRestored:
      return Fail(PrintablePath(archive) + ": " + msg::kArchiveNotRestored);
  }
  const ImgEntry* entry = ReadDirectory(archive, entries) ? FindEntry(entries, name) : nullptr;
  if (entry != nullptr) std::printf("%s\t%u\t%u\n", PrintableName(ImgEntryName(*entry)).c_str(), entry->offset, entry->size);
  return kExitOk;
}

}  // namespace

int RunImg(const Args& args) {
  if (args.size() == 2 && args[0] == "list") return List(args[1]);
  if (args.size() == 4 && args[0] == "extract") return Extract(args[1], StoredName(args[2]), args[3]);
  if (args.size() == 4 && args[0] == "put") return Put(args[1], StoredName(args[2]), args[3]);
  return Usage(kSynopsis);
}

}  // namespace zam::cli
