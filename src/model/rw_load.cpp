#include "model/rw_load.h"

#include "model/rw_chunk.h"

namespace zam {

namespace {

bool Found(RwLoad& load, const ByteReader& in, int64_t result, Message notFoundMessage, RwSection* found) {
  if (result < 0) return load.Fail(ChunkSearchMessage(result, notFoundMessage));
  if (found) *found = RwSection{in.Position(), static_cast<uint32_t>(result)};
  return true;
}

}  // namespace

bool RwLoad::Find(ByteReader& in, uint32_t type, Message notFoundMessage, RwSection* found) {
  return Found(*this, in, FindChunk(in, type), notFoundMessage, found);
}

bool RwLoad::FindIn(ByteReader& in, const RwSection& parent, uint32_t type, Message notFoundMessage, RwSection* found) {
  in.SeekTo(parent.body);
  return Found(*this, in, FindChunkBefore(in, type, parent.body + parent.size), notFoundMessage, found);
}

uint32_t RwLoad::StampOf(const ByteReader& in, const RwSection& section) {
  ByteReader header = in;  // a copy: the caller's position stays
  header.SeekTo(section.body - sizeof(uint32_t));
  return header.Read<uint32_t>();
}

bool RwLoad::Fail(Message message) {
  if (failure_ == Message::None) failure_ = message;
  return false;
}

bool RwLoad::Holds(const ByteReader& in, const RwSection& section, uint64_t needed, Message damagedMessage) {
  uint64_t sectionEnd = static_cast<uint64_t>(section.body) + section.size;
  uint64_t end = sectionEnd < in.Size() ? sectionEnd : in.Size();
  if (in.Position() > end || needed > end - in.Position()) return Fail(damagedMessage);
  return true;
}

ModelLoadResult RwLoad::Result() const {
  return ModelLoadResult{failure_ == Message::None, failure_};
}

}  // namespace zam
