#pragma once
// The project's own models: a humanoid character and a pistol with their
// dictionaries for the editor's demo, a small character for seeds and
// tests, and a character of game size for the benchmark.

#include "dff_builder.h"
#include "txd_builder.h"

namespace zam::gen {

// 20 bones from "Root" to the feet, one of them " R Hand"; a mesh of boxes,
// each bound rigidly to its bone; materials "skin" and "clothes" textured,
// "shoes" untextured.
CharacterDesc DemoCharacter();
DictionaryDesc DemoCharacterTextures();  // "skin" A8R8G8B8, "clothes" DXT1

// 3 bones ("Root", "Spine", " R Hand"), one box each, one textured and one
// untextured material.
CharacterDesc SmallCharacter();
DictionaryDesc SmallCharacterTextures();

// `bones` bones in a tree, `vertices` vertices weighted to two bones each,
// four textured materials.
CharacterDesc LargeCharacter(int vertices, int bones);
DictionaryDesc LargeCharacterTextures();

// Geometry 0 is a muzzle flash attached to frame 1, geometry 1 the pistol
// attached to frame 0, textured "Pistol_Body" (stored as "pistol_body").
WeaponDesc DemoWeapon();
DictionaryDesc DemoWeaponTextures();

// Appends a box from `lo` to `hi` to the geometry, its 24 vertices (4 per
// face, outward normals, each face mapped to the whole texture) bound with
// full weight to HAnim node `node` when `skin` is given.
void AddBox(GeometryDesc& geometry, SkinDesc* skin, uint32_t material, const Vec3& lo, const Vec3& hi, uint8_t node);

}  // namespace zam::gen
