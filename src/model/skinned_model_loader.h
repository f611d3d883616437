#pragma once
// Reads a character DFF (a Clump with HAnim bone frames, one skinned
// Geometry, its materials and skin) and optionally its TXD dictionary into
// the CPU-side SkinnedModelData the preview uploads and animates.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/model_data.h"

namespace zam {

// Replaces `model` with the model held in dff[0, dffSize); `txd` is nullptr
// when there is no dictionary, and every material is then untextured. On a
// failure the result carries the one message to show and `model` keeps what
// was read before it; hasVertexBuffer is set only by a complete load.
ModelLoadResult LoadSkinnedModel(const uint8_t* dff, size_t dffSize, const uint8_t* txd, size_t txdSize,
                                 SkinnedModelData& model);

// The name by which the loader knows a bone: lower case, one leading space
// removed, then the prefixes "root ", "normal ", "fat " and "ripped " each
// removed once when present, in that order.
std::string NormaliseBoneName(std::string_view frameName);

// The normalised name of the bone that holds the weapon.
inline constexpr const char kWeaponBoneName[] = "r hand";

}  // namespace zam
