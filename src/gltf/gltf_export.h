#pragma once
// A character with its animations as one binary glTF 2.0 file (.glb), for
// 3D suites, engines and viewers: the skinned mesh with its textures (PNG),
// its skeleton (one joint per bone, named as the model names it) with the
// skin's inverse bind matrices, the weapon held by the right hand, and one
// animation per package animation (rotation, translation and, for KRTS
// tracks, scale channels per bone; times in seconds; linear). Tracks bind to
// bones as the preview binds them, so every joint moves as the preview shows
// its bone: the joints' matrices at any time are the preview's bone
// matrices under the root node, which turns the game's Z-up into glTF's Y-up.

#include <cstdint>
#include <vector>

#include "anim/anim_package.h"
#include "model/model_data.h"

namespace zam {

struct GltfExportInput {
  const AnimPackage& package;
  std::vector<int> animations;  // indices into the package, in the order to export
  const SkinnedModelData& character;
  const WeaponModelData* weapon = nullptr;  // none when null or not loaded
};

// Whether the character's load completed: only then has it a mesh and bones to export.
bool CanExportCharacter(const SkinnedModelData& character);

// The .glb file; empty when the character cannot be exported. The same
// input always gives the same bytes.
std::vector<uint8_t> ExportGlb(const GltfExportInput& input);

}  // namespace zam
