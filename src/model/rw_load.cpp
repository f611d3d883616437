#include "model/rw_load.h"

#include "model/rw_chunk.h"

namespace zam {

bool RwLoad::Find(ByteReader& in, uint32_t type, Message notFoundMessage, RwSection* found) {
  int64_t result = FindChunk(in, type);
  if (result < 0) return Fail(ChunkSearchMessage(result, notFoundMessage));
  if (found) *found = RwSection{in.Position(), static_cast<uint32_t>(result)};
  return true;
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
