#pragma once
// Reads a weapon DFF (a Clump of one or more Atomics) and optionally its TXD
// dictionary into the CPU-side WeaponModelData: the static mesh of the
// Geometry attached to the Clump's root frame.

#include <cstddef>
#include <cstdint>

#include "model/model_data.h"

namespace zam {

// Replaces `model` with the weapon held in dff[0, dffSize); `txd` is nullptr
// when there is no dictionary. The Geometry loaded is the one used by the
// first Atomic attached to frame 0; without such an Atomic, the Clump's
// atomic count serves as the Geometry's index. On a failure the result
// carries the one message to show and `model` keeps what was read before it.
ModelLoadResult LoadWeaponModel(const uint8_t* dff, size_t dffSize, const uint8_t* txd, size_t txdSize,
                                WeaponModelData& model);

}  // namespace zam
