#pragma once
// The demo package: animations that move the demo character's bones (an
// idle, a walk cycle and a wave), so the editor's preview has something to
// play from the first start.

#include <cstdint>

#include "anim/anim_package.h"

namespace zam::gen {

// "idle" (2 s), "walk" (a 1 s cycle walking toward +Y) and "wave" (2 s).
// The root track turns the character to face +Y (the preview camera's
// starting side) and stands its feet on the ground grid at z = -1. Key times
// are whole frames, so both layouts hold them exactly.
AnimPackage DemoPackage(uint32_t format);

}  // namespace zam::gen
