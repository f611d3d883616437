#include "img_builder.h"

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
