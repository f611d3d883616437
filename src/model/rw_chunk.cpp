#include "model/rw_chunk.h"

namespace zam {
namespace {

// The search, among the headers that end by `limit` (at most the reader's
// size). Inline in both searches: the unbounded one, which every loader
// pass runs, then tests the bytes left once a section.
inline int64_t Search(ByteReader& in, uint32_t wantedType, size_t limit) {
  for (;;) {
    if (in.Position() > limit || limit - in.Position() < sizeof(RwChunkHeader)) {
      in.Skip(in.Remaining());
      return kRwEndOfFile;
    }
    RwChunkHeader header = in.Read<RwChunkHeader>();
    if (header.type == wantedType) return header.size;
    if (!IsReadableRwStamp(header.version)) return kRwUnknownVersion;
    in.Skip(header.size);  // a body running past the end leaves the reader at the end
  }
}

}  // namespace

int64_t FindChunk(ByteReader& in, uint32_t wantedType) { return Search(in, wantedType, in.Size()); }

int64_t FindChunkBefore(ByteReader& in, uint32_t wantedType, size_t end) {
  return Search(in, wantedType, end < in.Size() ? end : in.Size());
}

Message ChunkSearchMessage(int64_t result, Message notFoundMessage) {
  return result == kRwUnknownVersion ? Message::RwUnknownVersion : notFoundMessage;
}

}  // namespace zam
