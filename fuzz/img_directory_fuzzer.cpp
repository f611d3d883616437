// libFuzzer entry: any bytes as an IMG archive on disk, listed, its entries
// extracted by name, and a package put into its first entry, which must then
// read back without the file having grown beyond the package placed after
// the archive, the directory and every record's sectors.

#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "img/img_archive.h"
#include "img/img_edit.h"
#include "platform/temp_file.h"

namespace {

using namespace zam;

constexpr size_t kMaxExtracted = 16;

// Files reused by every run, deleted when the fuzzer exits.
struct ScratchFiles {
  TempFile archive = TempFile::Create("ifp");
  TempFile entry = TempFile::Create("dff");
  TempFile dictionary = TempFile::Create("txd");
};

ScratchFiles& Scratch() {
  static ScratchFiles files;
  return files;
}

// The scratch file emptied, ready to receive an entry.
File& Emptied(TempFile& temp) {
  temp.file() = File::Create(temp.path());
  return temp.file();
}

// The entry a look-up by this name finds: the first of that name.
const ImgEntry& FirstNamed(const std::vector<ImgEntry>& entries, const std::string& name) {
  for (const ImgEntry& entry : entries) {
    if (ImgEntryNameMatches(entry, name)) return entry;
  }
  __builtin_trap();
}

// The byte after the directory and the last sector any record claims.
uint64_t ClaimedEnd(const std::vector<ImgEntry>& entries) {
  uint64_t end = ImgAppendSector(8 + entries.size() * sizeof(ImgEntry)) * kImgSectorSize;
  for (const ImgEntry& entry : entries) {
    if (entry.size > 0) end = std::max(end, (uint64_t{entry.offset} + entry.size) * kImgSectorSize);
  }
  return end;
}

void CheckWriteBack(const std::string& archive, const std::vector<ImgEntry>& entries, const std::string& name,
                    const std::vector<uint8_t>& package, uint64_t sizeBefore) {
  uint64_t sizeAfter = File::OpenRead(archive).Size().value_or(0);
  uint64_t placedAfter = std::max(sizeBefore, ClaimedEnd(entries));
  if (sizeAfter > placedAfter + (ImgSectorsNeeded(package.size()) + 2) * kImgSectorSize) __builtin_trap();
  File& out = Emptied(Scratch().entry);
  if (!ImgEntryExtracted(ExtractImgEntry(archive, name, out))) __builtin_trap();
  std::vector<uint8_t> back(package.size());
  if (out.Read(back.data(), back.size()) != back.size() || back != package) __builtin_trap();
}

}  // namespace

// The scratch files go to memory where it can: the write-back's flush to
// disk would otherwise dominate every run.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  struct stat info {};
  if (stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode)) setenv("TMPDIR", "/dev/shm", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ScratchFiles& scratch = Scratch();
  if (!Emptied(scratch.archive).Write(data, size)) return 0;
  scratch.archive.file().Close();
  const std::string& archive = scratch.archive.path();

  std::vector<ImgEntry> entries;
  if (ListImgEntries(archive, entries) == ImgListResult::NotImgArchive) return 0;
  for (size_t i = 0; i < entries.size() && i < kMaxExtracted; ++i) {
    std::string name = ImgEntryName(entries[i]);
    File& out = Emptied(scratch.entry);
    if (ImgEntryExtracted(ExtractImgEntry(archive, name, out))) {
      uint64_t extracted = out.Size().value_or(0);
      if (extracted > ImgSectorPosition(FirstNamed(entries, name).size) || extracted > size) __builtin_trap();
    }
    ExtractImgModel(archive, name, Emptied(scratch.entry), Emptied(scratch.dictionary));
  }
  if (entries.empty()) return 0;

  // The package is the input's own second half, so its size varies with the input.
  std::vector<uint8_t> package(data + size / 2, data + size);
  std::string name = ImgEntryName(entries[0]);
  if (PutImgEntry(archive, name, package) == ImgEditResult::Done) {
    CheckWriteBack(archive, entries, name, package, size);
  }
  return 0;
}
