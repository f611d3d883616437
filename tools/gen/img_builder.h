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

// An entry's data: `size` bytes that tell entries and positions apart.
std::vector<uint8_t> PatternData(size_t size, uint32_t seed);

}  // namespace zam::gen
