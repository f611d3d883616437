#pragma once
// Builds DFF models from plain descriptions: skinned characters (a Clump
// whose frames carry HAnim data and names, one Geometry with BinMeshPLG and
// SkinPLG) and weapons (several Atomics and Geometries). Each description
// also has the knobs that produce the damaged variants tests need.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "math/types.h"
#include "model/rw_chunk.h"

namespace zam::gen {

struct MaterialDesc {
  std::string textureName;                 // empty: no Texture section
  std::optional<int32_t> texturedFlag;     // default: 1 with a texture name, else 0
};

struct MeshDesc {
  uint32_t material = 0;
  std::vector<uint32_t> indices;
};

struct GeometryDesc {
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;                     // empty or one per vertex
  std::vector<std::array<float, 2>> texCoords;   // empty or one per vertex
  uint8_t extraTexCoordSets = 0;                 // further sets, written after the first
  bool prelit = false;                           // vertex colours before the coordinates
  std::optional<uint16_t> flagsOverride;         // default: derived from the contents
  std::vector<MaterialDesc> materials;
  uint32_t binMeshFlags = 0;                     // 0 triangle lists, 1 strips
  std::vector<MeshDesc> meshes;
  bool writeBinMesh = true;
};

struct SkinDesc {
  std::vector<std::array<uint8_t, 4>> boneIndices;  // per vertex, into the HAnim node table
  std::vector<std::array<float, 4>> weights;        // per vertex
  std::vector<Matrix4> inverseBindMatrices;         // per node, written as given
  // 0 writes the older layout: no used-bone list, an unused word before
  // each matrix and no split data after them.
  uint8_t maxWeightsPerVertex = 4;
};

struct BoneDesc {
  std::string name;
  int32_t id = 0;
  int32_t parentFrame = 0;  // frame 0 is the Clump's root; bone i is frame i + 1
  float rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  Vec3 position{};
};

struct CharacterDesc {
  std::string rootFrameName = "character";
  std::vector<BoneDesc> bones;
  std::vector<int32_t> nodeTable;  // HAnim node IDs in table order; default: the bones' IDs in order
  GeometryDesc geometry;
  SkinDesc skin;

  uint32_t stamp = kRwLibraryStamp;
  bool frameNameFirst = false;  // each frame's name section before its HAnimPLG, not after

  // Damage knobs.
  std::optional<int32_t> frameCount;  // written in the FrameList's Struct
  std::optional<int32_t> nodeCount;   // written in the root bone's HAnimPLG
  bool writeSkin = true;
  bool writeFrameNames = true;
};

struct AtomicDesc {
  int32_t frame = 0;
  int32_t geometry = 0;
};

struct WeaponDesc {
  int32_t frameCount = 2;  // frame 0 and children of it, unnamed
  std::vector<GeometryDesc> geometries;
  std::vector<AtomicDesc> atomics;
  std::optional<int32_t> atomicCount;  // written in the Clump's Struct; default: atomics.size()
  uint32_t stamp = kRwLibraryStamp;
};

// The inverse bind matrix of a bone whose bind pose is a pure translation.
Matrix4 InverseTranslation(const Vec3& position);

std::vector<uint8_t> BuildCharacterDff(const CharacterDesc& desc);
std::vector<uint8_t> BuildWeaponDff(const WeaponDesc& desc);

}  // namespace zam::gen
