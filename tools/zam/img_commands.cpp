// zam img list, extract, put, add, delete, rename and rebuild: IMG archives
// (version 2, or a version 1 ".img" with its ".dir") from the command line.

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#define ZAM_ISATTY _isatty
#define ZAM_FILENO _fileno
#else
#include <unistd.h>
#define ZAM_ISATTY isatty
#define ZAM_FILENO fileno
#endif

#include "base/messages.h"
#include "commands.h"
#include "img/img_archive.h"
#include "img/img_edit.h"
#include "img/img_rebuild.h"
#include "platform/file_system.h"

namespace zam::cli {
namespace {

constexpr char kSynopsis[] =
    "zam img list ARCHIVE | extract ARCHIVE ENTRY OUT | put ARCHIVE ENTRY FILE | add [--replace] ARCHIVE FILE [NAME]"
    " | delete ARCHIVE NAME | rename ARCHIVE OLD NEW | rebuild ARCHIVE";

// Reads the directory, reporting an archive that cannot be used; false then.
bool ReadDirectory(const std::string& archive, std::vector<ImgEntry>& entries) {
  switch (ListImgEntries(archive, entries)) {
    case ImgListResult::Listed:
      return true;
    case ImgListResult::DirectoryTruncated:
      Warn(PrintablePath(archive) + ": the directory is truncated; the entries it holds were read");
      return true;
    case ImgListResult::NotImgArchive:
      Fail(PrintablePath(archive) + ": not an IMG archive (no VER2 directory, no .dir beside it)");
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

void PrintEntry(const ImgEntry& entry) {
  std::printf("%s\t%u\t%u\n", PrintableName(ImgEntryName(entry)).c_str(), entry.offset, entry.size);
}

// The entry's record as it now is, for the commands that place data.
void PrintEntryOf(const std::string& archive, const std::string& name) {
  std::vector<ImgEntry> entries;
  if (ListImgEntries(archive, entries) != ImgListResult::Listed) return;
  if (const ImgEntry* entry = FindEntry(entries, name)) PrintEntry(*entry);
}

// The message of an edit that did not happen; kExitOk for one that did.
int Reported(ImgEditResult result, const std::string& archive, const std::string& name) {
  std::string where = PrintablePath(archive) + ": ";
  switch (result) {
    case ImgEditResult::Done:
      return kExitOk;
    case ImgEditResult::ArchiveCannotOpen:
      return FailFile(archive, {});
    case ImgEditResult::NotImgArchive:
      return Fail(where + "not an IMG archive (no VER2 directory, no .dir beside it)");
    case ImgEditResult::DirectoryDamaged:
      return Fail(where + msg::kArchiveDamaged);
    case ImgEditResult::EntryNotFound:
      return NoSuchEntry(archive, name);
    case ImgEditResult::NameTaken:
      return Fail(where + PrintableName(name) + ": " + msg::kEntryNameTaken);
    case ImgEditResult::NameInvalid:
      return Fail(where + PrintableName(name) + ": " + msg::kEntryNameInvalid);
    case ImgEditResult::TooLarge:
      return Fail(where + msg::kEntryTooLarge);
    case ImgEditResult::WriteFailed:
      return Fail(where + msg::kArchiveNotChanged);
    case ImgEditResult::Pending:
      return Fail(where + msg::kArchivePending);
  }
  return kExitFailure;
}

int List(const std::string& archive) {
  std::vector<ImgEntry> entries;
  if (!ReadDirectory(archive, entries)) return kExitFailure;
  for (const ImgEntry& entry : entries) PrintEntry(entry);
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

int Put(const std::string& archive, const std::string& name, const std::string& filePath) {
  std::vector<uint8_t> bytes;
  FileResult read = ReadWholeFile(filePath, bytes);
  if (!read.ok()) return FailFile(filePath, read.reason);
  ImgEditResult result = PutImgEntry(archive, name, bytes);
  if (result == ImgEditResult::WriteFailed) return Fail(PrintablePath(archive) + ": " + msg::kArchiveUnchanged);
  if (result != ImgEditResult::Done) return Reported(result, archive, name);
  PrintEntryOf(archive, name);
  return kExitOk;
}

// The name of a file without its folder, as the entry it becomes.
std::string BaseName(const std::string& path) {
  size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

int Add(const Args& args) {
  bool replace = false;
  std::vector<std::string> rest;
  for (const std::string& arg : args) {
    if (arg == "--replace") {
      replace = true;
    } else {
      rest.push_back(arg);
    }
  }
  if (rest.size() < 2 || rest.size() > 3) return Usage(kSynopsis);
  const std::string& archive = rest[0];
  std::string name = StoredName(rest.size() == 3 ? rest[2] : BaseName(rest[1]));
  std::vector<uint8_t> bytes;
  FileResult read = ReadWholeFile(rest[1], bytes);
  if (!read.ok()) return FailFile(rest[1], read.reason);
  ImgEditResult result = AddImgEntry(archive, name, bytes);
  if (result == ImgEditResult::NameTaken && replace) result = PutImgEntry(archive, name, bytes);
  if (result == ImgEditResult::NameTaken) {
    return Fail(PrintablePath(archive) + ": " + PrintableName(name) + ": " + msg::kEntryNameTaken +
                " (--replace writes over it)");
  }
  if (result != ImgEditResult::Done) return Reported(result, archive, name);
  PrintEntryOf(archive, name);
  return kExitOk;
}

// Set by Ctrl+C during a rebuild, which then stops and leaves the archive as it was.
std::atomic<bool> interrupted{false};
extern "C" void OnInterrupt(int) { interrupted = true; }

// "rebuilding x.img: 42% (430 of 1024 MB)", rewritten in place on a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(const std::string& archive)
      : shown_(ZAM_ISATTY(ZAM_FILENO(stderr)) != 0), label_("rebuilding " + PrintablePath(archive)) {}
  bool Update(uint64_t done, uint64_t total) {
    int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    if (shown_ && percent != percent_) {
      std::fprintf(stderr, "\r%s: %3d%% (%llu of %llu MB)", label_.c_str(), percent,
                   static_cast<unsigned long long>(done >> 20), static_cast<unsigned long long>(total >> 20));
      std::fflush(stderr);
      percent_ = percent;
    }
    return !interrupted;
  }
  void End() {
    if (shown_ && percent_ >= 0) std::fprintf(stderr, "\n");
  }

 private:
  bool shown_;
  std::string label_;
  int percent_ = -1;
};

int Rebuild(const std::string& archive) {
  ProgressLine line(archive);
  auto previous = std::signal(SIGINT, OnInterrupt);
  ImgRebuildOutcome outcome =
      RebuildImgArchive(archive, [&line](uint64_t done, uint64_t total) { return line.Update(done, total); });
  std::signal(SIGINT, previous);
  line.End();
  std::string where = PrintablePath(archive) + ": ";
  switch (outcome.result) {
    case ImgRebuildResult::Done:
      std::printf("%llu -> %llu bytes\n", static_cast<unsigned long long>(outcome.oldBytes),
                  static_cast<unsigned long long>(outcome.newBytes));
      return kExitOk;
    case ImgRebuildResult::ArchiveCannotOpen:
      return FailFile(archive, {});
    case ImgRebuildResult::NotImgArchive:
      return Reported(ImgEditResult::NotImgArchive, archive, {});
    case ImgRebuildResult::DirectoryDamaged:
      return Fail(where + msg::kArchiveDamaged);
    case ImgRebuildResult::NoSpace:
      return Fail(where + msg::kRebuildNoSpace + " It needs " + std::to_string(outcome.newBytes >> 20) + " MB, " +
                  std::to_string(outcome.freeBytes >> 20) + " MB are free.");
    case ImgRebuildResult::WriteFailed:
      return Fail(where + msg::kRebuildFailed);
    case ImgRebuildResult::Cancelled:
      return Fail(where + "cancelled; the archive is as it was");
    case ImgRebuildResult::Pending:
      return Fail(where + msg::kArchivePending);
  }
  return kExitFailure;
}

}  // namespace

int RunImg(const Args& args) {
  if (args.size() == 2 && args[0] == "list") return List(args[1]);
  if (args.size() == 4 && args[0] == "extract") return Extract(args[1], StoredName(args[2]), args[3]);
  if (args.size() == 4 && args[0] == "put") return Put(args[1], StoredName(args[2]), args[3]);
  if (!args.empty() && args[0] == "add") return Add(Args(args.begin() + 1, args.end()));
  if (args.size() == 3 && args[0] == "delete") {
    return Reported(DeleteImgEntry(args[1], StoredName(args[2])), args[1], StoredName(args[2]));
  }
  if (args.size() == 4 && args[0] == "rename") {
    std::string oldName = StoredName(args[2]), newName = StoredName(args[3]);
    ImgEditResult result = RenameImgEntry(args[1], oldName, newName);
    return Reported(result, args[1], result == ImgEditResult::EntryNotFound ? oldName : newName);
  }
  if (args.size() == 2 && args[0] == "rebuild") return Rebuild(args[1]);
  return Usage(kSynopsis);
}

}  // namespace zam::cli
