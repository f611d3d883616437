#include "img_builder.h"

#include <cstdio>
#include <cstring>

#include "base/byte_writer.h"

namespace zam::gen {
namespace {

constexpr size_t kSector = 2048;
constexpr size_t kRecordSize = 32;
constexpr size_t kNameSize = 24;

size_t SectorsFor(size_t bytes) { return (bytes + kSector - 1) / kSector; }

}  // namespace

std::vector<uint8_t> BuildImgArchive(const std::vector<ImgBuildEntry>& entries, const ImgBuildOptions& options) {
  std::vector<uint8_t> bytes;
  size_t directoryEnd = 8 + entries.size() * kRecordSize;
  uint32_t sector = static_cast<uint32_t>(SectorsFor(directoryEnd));
  {
    ByteWriter out(bytes);
    out.WriteBytes(options.lowerCaseTag ? "ver2" : "VER2", 4);
    out.Write(static_cast<uint32_t>(entries.size()));
    for (const ImgBuildEntry& entry : entries) {
      uint32_t sectors = static_cast<uint32_t>(SectorsFor(entry.data.size()));
      out.Write(sector);
      out.Write(sectors);
      char name[kNameSize];
      std::memset(name, options.namePadding, kNameSize);
      size_t length = entry.name.size() < kNameSize ? entry.name.size() : kNameSize;
      std::memcpy(name, entry.name.data(), length);
      if (length < kNameSize) name[length] = 0;
      out.WriteBytes(name, kNameSize);
      sector += sectors;
    }
  }
  bytes.resize(SectorsFor(directoryEnd) * kSector, 0);
  for (const ImgBuildEntry& entry : entries) {
    bytes.insert(bytes.end(), entry.data.begin(), entry.data.end());
    bytes.resize(SectorsFor(bytes.size()) * kSector, options.sectorFiller);
  }
  return bytes;
}

ImgPairBytes BuildImgPair(const std::vector<ImgBuildEntry>& entries) {
  // The same layout as version 2 without the header and the directory in front.
  std::vector<uint8_t> whole = BuildImgArchive(entries);
  size_t dataStart = SectorsFor(8 + entries.size() * kRecordSize) * kSector;
  ImgPairBytes pair;
  pair.data.assign(whole.begin() + static_cast<std::ptrdiff_t>(dataStart), whole.end());
  pair.directory.assign(whole.begin() + 8,
                        whole.begin() + 8 + static_cast<std::ptrdiff_t>(entries.size() * kRecordSize));
  for (size_t i = 0; i < entries.size(); ++i) {
    uint32_t offset;
    std::memcpy(&offset, pair.directory.data() + i * kRecordSize, 4);
    offset -= static_cast<uint32_t>(dataStart / kSector);
    std::memcpy(pair.directory.data() + i * kRecordSize, &offset, 4);
  }
  return pair;
}

bool WriteLargeImgArchive(const std::string& path, uint32_t count, uint32_t meanSectors) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  std::vector<uint32_t> sizes(count);
  for (uint32_t i = 0; i < count; ++i)
    sizes[i] = 1 + static_cast<uint32_t>((uint64_t{i} * 2654435761u) % (2 * meanSectors));
  std::vector<uint8_t> head;
  size_t directoryEnd = 8 + size_t{count} * kRecordSize;
  uint32_t sector = static_cast<uint32_t>(SectorsFor(directoryEnd));
  {
    ByteWriter writer(head);
    writer.WriteBytes("VER2", 4);
    writer.Write(count);
    for (uint32_t i = 0; i < count; ++i) {
      char name[kNameSize] = {};
      std::snprintf(name, sizeof name, "e%05u.ifp", i);
      writer.Write(sector);
      writer.Write(sizes[i]);
      writer.WriteBytes(name, kNameSize);
      sector += sizes[i];
    }
  }
  head.resize(SectorsFor(directoryEnd) * kSector, 0);
  bool written = std::fwrite(head.data(), 1, head.size(), out) == head.size();
  std::vector<uint8_t> block(kSector);
  for (uint32_t i = 0; i < count && written; ++i) {
    for (uint32_t s = 0; s < sizes[i] && written; ++s) {
      for (size_t b = 0; b < kSector; b += 8) {
        uint32_t words[2] = {i, s};
        std::memcpy(block.data() + b, words, 8);
      }
      written = std::fwrite(block.data(), 1, block.size(), out) == block.size();
    }
  }
  return std::fclose(out) == 0 && written;
}

std::vector<uint8_t> PatternData(size_t size, uint32_t seed) {
  std::vector<uint8_t> data(size);
  uint32_t state = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1664525u + 1013904223u;
    data[i] = static_cast<uint8_t>(state >> 24);
  }
  return data;
}

}  // namespace zam::gen
