#pragma once
// One model load in progress: the DFF and the optional TXD as bounded
// readers, and the first failure, which ends the load. The passes of both
// model loaders run through it, so every search failure and every broken
// limit turns into exactly one user-facing message.

#include <cstddef>
#include <cstdint>

#include "base/byte_reader.h"
#include "base/messages.h"
#include "model/model_data.h"

namespace zam {

// A section found by a search: where its body starts and its declared size.
struct RwSection {
  size_t body = 0;
  uint32_t size = 0;
};

class RwLoad {
 public:
  RwLoad(const uint8_t* dff, size_t dffSize, const uint8_t* txd, size_t txdSize)
      : dff(dff, dffSize), txd(txd, txd ? txdSize : 0), hasDictionary(txd != nullptr) {}

  ByteReader dff;
  ByteReader txd;
  const bool hasDictionary;

  // FindChunk from `in`'s position; on failure records its message (the
  // version message or `notFoundMessage`) and returns false.
  bool Find(ByteReader& in, uint32_t type, Message notFoundMessage, RwSection* found = nullptr);

  // The same search from the start of `parent`'s body, among its children
  // only: sections after the parent's end are not looked at.
  bool FindIn(ByteReader& in, const RwSection& parent, uint32_t type, Message notFoundMessage,
              RwSection* found = nullptr);

  // The library stamp in the header of `section`, found in `in`.
  static uint32_t StampOf(const ByteReader& in, const RwSection& section);

  // Records `message` as the load's failure; returns false for chaining.
  bool Fail(Message message);

  // True when the next `needed` bytes at `in`'s position lie inside both the
  // section's body and the file; otherwise records `damagedMessage`.
  bool Holds(const ByteReader& in, const RwSection& section, uint64_t needed, Message damagedMessage);

  ModelLoadResult Result() const;

 private:
  Message failure_ = Message::None;
};

}  // namespace zam
