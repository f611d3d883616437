#pragma once
// The records of an archive's directory and the sectors they count, shared
// by both versions of archive; and the pairing of a version 1 archive's two
// files.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zam {

inline constexpr uint64_t kImgSectorSize = 2048;
inline constexpr size_t kImgNameSize = 24;

// One directory record. `name` is zero-terminated in well-formed archives but
// may fill all 24 bytes: read it through ImgEntryName.
struct ImgEntry {
  uint32_t offset;  // in sectors from the start of the archive
  uint32_t size;    // in sectors
  char name[kImgNameSize];
};
static_assert(sizeof(ImgEntry) == 32, "IMG directory record");

// The name up to its first zero byte, at most 24 characters.
std::string ImgEntryName(const ImgEntry& entry);
// Whole-name comparison without regard to case, as archive look-ups do.
bool ImgEntryNameMatches(const ImgEntry& entry, const std::string& name);

enum class ImgVersion { V1, V2 };

// The other file of a version 1 pair: the ".dir" beside an ".img", or the
// ".img" beside a ".dir"; its extension in the case of the given one, letter
// by letter, else in lower or in upper case. Empty when none exists.
std::string ImgPairPartner(const std::string& path);

// Byte position of a sector, in 64 bits.
constexpr uint64_t ImgSectorPosition(uint32_t sector) { return uint64_t{sector} * kImgSectorSize; }
// Sectors reserved for `bytes` of written-back data: one more than the whole
// sectors it fills, also when it fills them exactly.
constexpr uint64_t ImgSectorsNeeded(uint64_t bytes) { return bytes / kImgSectorSize + 1; }
// Where data placed after the first `bytes` bytes of an archive (all of it,
// or its directory) start: the first sector after the one holding the last of
// them, so whole sectors leave no unused one between.
constexpr uint64_t ImgAppendSector(uint64_t bytes) { return (bytes + kImgSectorSize - 1) / kImgSectorSize; }

}  // namespace zam
