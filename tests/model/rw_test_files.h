#pragma once
// Helpers of the model tests: loading built files, finding and patching
// sections in them to make damaged variants, and failures shown by their text.

#include <cstdint>
#include <cstring>
#include <ostream>
#include <vector>

#include "base/messages.h"
#include "model/model_data.h"
#include "model/rw_chunk.h"
#include "model/skinned_model_loader.h"
#include "model/weapon_model_loader.h"

namespace zam {

// GoogleTest prints a Message that differs from the one expected by its text.
inline void PrintTo(Message message, std::ostream* out) { *out << '"' << MessageText(message) << '"'; }

}  // namespace zam

namespace zam::test {

using Bytes = std::vector<uint8_t>;

inline ModelLoadResult LoadCharacter(const Bytes& dff, const Bytes* txd, SkinnedModelData& model) {
  return LoadSkinnedModel(dff.data(), dff.size(), txd ? txd->data() : nullptr, txd ? txd->size() : 0, model);
}

inline ModelLoadResult LoadWeapon(const Bytes& dff, const Bytes* txd, WeaponModelData& model) {
  return LoadWeaponModel(dff.data(), dff.size(), txd ? txd->data() : nullptr, txd ? txd->size() : 0, model);
}

// Offset of the header of the `nth` section of `type` (counted from 0) in a
// stream whose headers carry the library stamp; the file size if none.
inline size_t SectionOffset(const Bytes& bytes, uint32_t type, int nth = 0) {
  for (size_t at = 0; at + 12 <= bytes.size(); ++at) {
    uint32_t header[3];
    std::memcpy(header, bytes.data() + at, sizeof header);
    if (header[0] == type && header[2] == kRwLibraryStamp && nth-- == 0) return at;
  }
  return bytes.size();
}

// Offset of the first byte of that section's body.
inline size_t BodyOffset(const Bytes& bytes, uint32_t type, int nth = 0) {
  return SectionOffset(bytes, type, nth) + sizeof(RwChunkHeader);
}

inline void PatchU32(Bytes& bytes, size_t at, uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); }
inline void PatchU16(Bytes& bytes, size_t at, uint16_t value) { std::memcpy(bytes.data() + at, &value, 2); }

}  // namespace zam::test
