#include "model/rw_chunk.h"

namespace zam {

int64_t FindChunk(ByteReader& in, uint32_t wantedType) {
  for (;;) {
    if (in.Remaining() < sizeof(RwChunkHeader)) {
      in.Skip(in.Remaining());
      return kRwEndOfFile;
    }
    RwChunkHeader header = in.Read<RwChunkHeader>();
    if (header.type == wantedType) return header.size;
    if (header.version != kRwLibraryStamp) return kRwUnknownVersion;
    in.Skip(header.size);  // a body running past the end leaves the reader at the end
  }
}

Message ChunkSearchMessage(int64_t result, Message notFoundMessage) {
  return result == kRwUnknownVersion ? Message::RwUnknownVersion : notFoundMessage;
}

}  // namespace zam
