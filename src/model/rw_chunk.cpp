#include "model/rw_chunk.h"

namespace zam {

int64_t FindChunkBefore(ByteReader& in, uint32_t wantedType, size_t end, uint32_t* stamp) {
  for (;;) {
    if (in.Remaining() < sizeof(RwChunkHeader) || in.Position() > end ||
        end - in.Position() < sizeof(RwChunkHeader)) {
      in.Skip(in.Remaining());
      return kRwEndOfFile;
    }
    RwChunkHeader header = in.Read<RwChunkHeader>();
    if (header.type == wantedType) {
      if (stamp) *stamp = header.version;
      return header.size;
    }
    if (!IsReadableRwStamp(header.version)) return kRwUnknownVersion;
    in.Skip(header.size);  // a body running past the end leaves the reader at the end
  }
}

Message ChunkSearchMessage(int64_t result, Message notFoundMessage) {
  return result == kRwUnknownVersion ? Message::RwUnknownVersion : notFoundMessage;
}

}  // namespace zam
