#include "platform/write_journal.h"

#include <cstring>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/sibling_temporary.h"
#include "platform/temporary_notes.h"

namespace zam {
namespace {

constexpr char kMagic[8] = {'Z', 'A', 'M', 'J', 'R', 'N', 'L', '1'};
// Far more than the directory of the largest archive takes.
constexpr uint64_t kMaxJournalBytes = uint64_t{64} << 20;
enum Kind : uint8_t { kEnd = 0, kWrite = 1, kSetSize = 2, kRename = 3 };

// FNV-1a: a journal cut short or overwritten in part does not pass as whole.
uint64_t Checksum(const uint8_t* data, size_t size) {
  uint64_t hash = 0xCBF29CE484222325u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 0x100000001B3u;
  return hash;
}

void PutName(std::vector<uint8_t>& out, const std::string& name) {
  ByteWriter writer(out);
  writer.Write(static_cast<uint16_t>(name.size()));
  writer.WriteBytes(name.data(), name.size());
}

// A name of a file in the journal's own folder, never a path leading out of it.
bool TakeName(ByteReader& reader, std::string& name) {
  uint16_t length = reader.Read<uint16_t>();
  const uint8_t* bytes = reader.Take(length);
  if (bytes == nullptr || length == 0) return false;
  name.assign(reinterpret_cast<const char*>(bytes), length);
  return name != "." && name != ".." && name.find_first_of("\\/") == std::string::npos &&
         name.find('\0') == std::string::npos;
}

bool Exists(const std::string& path) { return File::OpenRead(path).IsOpen(); }

// Makes the changes of an encoded journal (its body, checked) in `folder`.
bool Apply(const uint8_t* data, size_t size, const std::string& folder) {
  ByteReader reader(data, size);
  bool made = true;
  for (;;) {
    uint8_t kind = reader.Read<uint8_t>();
    if (reader.Overrun() || kind == kEnd) break;
    std::string name, other;
    if (!TakeName(reader, name)) return false;
    std::string path = folder + name;
    if (kind == kWrite) {
      uint64_t position = reader.Read<uint64_t>();
      uint32_t length = reader.Read<uint32_t>();
      const uint8_t* bytes = reader.Take(length);
      if (bytes == nullptr) return false;
      File file = File::OpenReadWrite(path);
      made = file.Seek(position) && file.Write(bytes, length) && file.Flush() && made;
    } else if (kind == kSetSize) {
      uint64_t length = reader.Read<uint64_t>();
      if (reader.Overrun()) return false;
      File file = File::OpenReadWrite(path);
      made = file.SetSize(length) && file.Flush() && made;
    } else if (kind == kRename) {
      if (!TakeName(reader, other)) return false;
      if (Exists(path)) made = MoveFileOver(path, folder + other).ok() && made;
    } else {
      return false;
    }
  }
  return made;
}

}  // namespace

void WriteJournal::Write(const std::string& file, uint64_t position, const std::vector<uint8_t>& bytes) {
  encoded_.push_back(kWrite);
  PutName(encoded_, file);
  ByteWriter writer(encoded_);
  writer.Write(position);
  writer.Write(static_cast<uint32_t>(bytes.size()));
  writer.WriteBytes(bytes.data(), bytes.size());
}

void WriteJournal::SetSize(const std::string& file, uint64_t size) {
  encoded_.push_back(kSetSize);
  PutName(encoded_, file);
  ByteWriter(encoded_).Write(size);
}

void WriteJournal::Rename(const std::string& from, const std::string& to) {
  encoded_.push_back(kRename);
  PutName(encoded_, from);
  PutName(encoded_, to);
}

WriteJournal::Outcome WriteJournal::Commit(const std::string& folder) const {
  std::vector<uint8_t> journal(kMagic, kMagic + sizeof kMagic);
  journal.insert(journal.end(), encoded_.begin(), encoded_.end());
  journal.push_back(kEnd);
  uint64_t checksum = Checksum(journal.data(), journal.size());
  ByteWriter(journal).Write(checksum);

  TemporaryNote note = TemporaryNote::Begin();
  std::string path;
  {
    File file = CreateSiblingTemporary(folder + "journal", note, path);
    bool written = file.IsOpen() && file.Write(journal.data(), journal.size()) && file.Flush();
    file.Close();
    if (!written) {
      if (!path.empty()) RemoveFile(path);
      return Outcome::NothingMade;
    }
  }
  if (!Apply(journal.data() + sizeof kMagic, journal.size() - sizeof kMagic - sizeof checksum, folder)) {
    // Left with its note unheld: the next start makes the changes.
    note.Abandon();
    return Outcome::Pending;
  }
  RemoveFile(path);
  return Outcome::Made;
}

bool ReplayWriteJournal(const std::string& path) {
  std::vector<uint8_t> journal;
  {
    // Told apart by its first bytes, so that a large temporary of another
    // kind is not read whole.
    File file = File::OpenRead(path);
    char magic[sizeof kMagic];
    if (file.Read(magic, sizeof magic) != sizeof magic || std::memcmp(magic, kMagic, sizeof kMagic) != 0) return false;
    if (file.Size().value_or(0) > kMaxJournalBytes) return false;
  }
  if (!ReadWholeFile(path, journal).ok() || journal.size() < sizeof kMagic) return false;
  constexpr size_t kChecksumSize = sizeof(uint64_t);
  bool whole = journal.size() >= sizeof kMagic + 1 + kChecksumSize;
  if (whole) {
    uint64_t stored;
    std::memcpy(&stored, journal.data() + journal.size() - kChecksumSize, kChecksumSize);
    whole = stored == Checksum(journal.data(), journal.size() - kChecksumSize);
  }
  if (whole) Apply(journal.data() + sizeof kMagic, journal.size() - sizeof kMagic - kChecksumSize, FolderPart(path));
  RemoveFile(path);
  return true;
}

}  // namespace zam
