#pragma once
// RenderWare binary streams (DFF models, TXD dictionaries) are trees of
// sections, each a 12-byte header followed by its body. The loaders never
// parse the tree as a whole: they search forward for the next section of a
// wanted type with FindChunk and seek back to positions they remembered.

#include <cstddef>
#include <cstdint>

#include "base/byte_reader.h"
#include "base/messages.h"

namespace zam {

struct RwChunkHeader {
  uint32_t type;
  uint32_t size;     // body bytes after this header, children included
  uint32_t version;  // library version stamp of the writer
};
static_assert(sizeof(RwChunkHeader) == 12, "the on-disk section header");

// Library 3.6.0.3, build 0xFFFF: the stamp of the game's own files.
inline constexpr uint32_t kRwLibraryStamp = 0x1803FFFF;

// The library version a stamp names, as 0x3MRPP (3.4.0.3 is 0x34003): the
// stamp keeps the version's minor and revision digits in its top bits, its
// last six bits below them and the build number in its low 16 bits.
// Stamps without the top bits are those of libraries before 3.1, which
// kept the version itself there shifted right by 8 bits.
constexpr uint32_t RwLibraryVersion(uint32_t stamp) {
  return (stamp & 0xFFFF0000) == 0 ? stamp << 8 : (((stamp >> 14) & 0x3FF00) + 0x30000) | ((stamp >> 16) & 0x3F);
}

// Libraries 3.4.0.0 to 3.6.0.3 lay out every section the loaders read alike
// (their Geometry no longer stores the lighting values of earlier ones); a
// stamp outside them is refused. The version grows with the stamp's top 16
// bits, so one comparison of them tests the range (every section a search
// steps over is tested).
constexpr bool IsReadableRwStamp(uint32_t stamp) { return (stamp >> 16) - 0x1000u <= 0x1803u - 0x1000u; }
static_assert(RwLibraryVersion(0x10000000) == 0x34000 && RwLibraryVersion(0x1803FFFF) == 0x36003 &&
                  RwLibraryVersion(0x0FFFFFFF) < 0x34000 && RwLibraryVersion(0x18040000) > 0x36003,
              "the top bits of the first and last readable stamps");

inline constexpr uint32_t kRwStruct = 0x00000001;
inline constexpr uint32_t kRwString = 0x00000002;
inline constexpr uint32_t kRwExtension = 0x00000003;
inline constexpr uint32_t kRwTexture = 0x00000006;
inline constexpr uint32_t kRwMaterial = 0x00000007;
inline constexpr uint32_t kRwMaterialList = 0x00000008;
inline constexpr uint32_t kRwFrameList = 0x0000000E;
inline constexpr uint32_t kRwGeometry = 0x0000000F;
inline constexpr uint32_t kRwClump = 0x00000010;
inline constexpr uint32_t kRwAtomic = 0x00000014;
inline constexpr uint32_t kRwTextureNative = 0x00000015;
inline constexpr uint32_t kRwTextureDictionary = 0x00000016;
inline constexpr uint32_t kRwGeometryList = 0x0000001A;
inline constexpr uint32_t kRwSkinPlg = 0x00000116;
inline constexpr uint32_t kRwHAnimPlg = 0x0000011E;
inline constexpr uint32_t kRwBinMeshPlg = 0x0000050E;
inline constexpr uint32_t kRwFrameName = 0x0253F2FE;

// Negative results of FindChunk.
inline constexpr int64_t kRwEndOfFile = -1;
inline constexpr int64_t kRwUnknownVersion = -2;

// Searches forward from the reader's position, at the level where it stands,
// for a section of `wantedType`, stepping over every other section whole.
// Returns the body size of the section found, with the reader at its first
// body byte; kRwEndOfFile when the bytes end first (a partial header
// included); kRwUnknownVersion when a section to step over carries a stamp
// IsReadableRwStamp refuses. The found section's own stamp is not tested.
// The search does not stop at the end of the enclosing section.
int64_t FindChunk(ByteReader& in, uint32_t wantedType);

// The same search among the sections whose headers lie before `end`, the
// end of the enclosing section's body: kRwEndOfFile when `end` comes first.
int64_t FindChunkBefore(ByteReader& in, uint32_t wantedType, size_t end);

// The message of a failed search: Message::RwUnknownVersion for
// kRwUnknownVersion, otherwise the section's own not-found message.
Message ChunkSearchMessage(int64_t result, Message notFoundMessage);

}  // namespace zam
