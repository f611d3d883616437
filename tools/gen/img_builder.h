#pragma once
// IMG archives ("VER2" directory) for tests, benchmarks, fuzz seeds and the
// demo. Entries are laid out one after another in whole sectors after the
// directory, in the order given; names are not checked, so duplicates, names
// of all 24 bytes and odd padding can be made on purpose.

#include <cstdint>
#include <string>
#include <vector>

namespace zam::gen {

struct ImgBuildEntry {
  std::string name;            // at most 24 bytes are stored; 24 leaves no terminator
  std::vector<uint8_t> data;   // stored in ceil(size / 2048) sectors
};

struct ImgBuildOptions {
  bool lowerCaseTag = false;    // "ver2" instead of "VER2"
  uint8_t namePadding = 0;      // fills each name field after its terminator
  uint8_t sectorFiller = 0;     // fills each entry's last sector after its data
};

std::vector<uint8_t> BuildImgArchive(const std::vector<ImgBuildEntry>& entries, const ImgBuildOptions& options = {});

// A version 1 archive: the ".dir" of records and the ".img" of data alone,
// entries laid out from its first sector in the order given.
struct ImgPairBytes {
  std::vector<uint8_t> directory;
  std::vector<uint8_t> data;
};
ImgPairBytes BuildImgPair(const std::vector<ImgBuildEntry>& entries);

// A large version 2 archive written straight to `path` without being held
// in memory: `count` entries named "e00000.ifp" on, of 1 to 2 x `meanSectors`
// sectors each (varying by entry), each sector's bytes telling entry and
// sector apart. False when the file cannot be written.
bool WriteLargeImgArchive(const std::string& path, uint32_t count, uint32_t meanSectors);

// An entry's data: `size` bytes that tell entries and positions apart.
std::vector<uint8_t> PatternData(size_t size, uint32_t seed);

}  // namespace zam::gen
