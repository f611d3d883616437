#pragma once
// CPU-side records of a parsed character or weapon model: everything the
// preview needs to create its Direct3D buffers and textures, and everything
// pose evaluation needs, with no Direct3D type in it.

#include <cstdint>
#include <string>
#include <vector>

#include "math/types.h"

namespace zam {

inline constexpr int32_t kTriangleList = 4;   // D3DPT_TRIANGLELIST
inline constexpr int32_t kTriangleStrip = 5;  // D3DPT_TRIANGLESTRIP

inline constexpr uint32_t kSkinnedVertexFvf = 0x111C;  // XYZB4 | LASTBETA_UBYTE4 | NORMAL | TEX1
inline constexpr uint32_t kWeaponVertexFvf = 0x112;    // XYZ | NORMAL | TEX1

struct SkinnedVertex {
  float position[3];
  float blendWeights[3];  // the first three of four skin weights
  uint8_t boneIndices[4];
  float normal[3];
  float texCoord[2];
};
static_assert(sizeof(SkinnedVertex) == 48, "the 0x111C vertex layout");

struct WeaponVertex {
  float position[3];
  float normal[3];
  float texCoord[2];
};
static_assert(sizeof(WeaponVertex) == 32, "the 0x112 vertex layout");

// Level 0 of a texture as stored in the dictionary. `rowSize` is the bytes of
// one stored row (one row of 4x4 blocks for block-compressed formats), so the
// upload can copy row by row into a surface of any pitch.
struct TextureImage {
  uint32_t format = 0;  // a D3DFORMAT value or FOURCC, as read
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t rowSize = 0;
  uint32_t rowCount = 0;
  std::vector<uint8_t> level0;
};

// One draw call's worth per material: indices into the vertex array and the
// texture, if the material has one that the dictionary holds.
struct MaterialMesh {
  std::vector<uint32_t> indices;
  bool textured = false;
  TextureImage texture;
};

struct MeshData {
  int32_t primitiveType = kTriangleList;
  std::vector<MaterialMesh> materials;  // materialCount entries
};

struct SkinnedModelData {
  int32_t boneCount = 0;
  std::vector<std::string> boneNames;         // normalised names, per bone
  std::vector<int32_t> boneIds;               // HAnim node ids, node-table order
  std::vector<int32_t> boneNodeIndex;         // per bone: its index into boneIds
  std::vector<Matrix4> boneRotation;          // per bone: local rotation
  std::vector<Vec3> bonePosition;             // per bone: local translation
  std::vector<int32_t> boneParent;            // per bone: parent bone, -1 for the root
  std::vector<Matrix4> inverseBindMatrices;   // node-table order, column 3 = 0,0,0,1
  int32_t weaponBoneIndex = -1;               // the bone named "r hand", or -1
  std::vector<SkinnedVertex> vertices;
  bool hasVertexBuffer = false;               // false when the load stopped before the last pass
  MeshData mesh;
};

struct WeaponModelData {
  std::vector<WeaponVertex> vertices;
  bool hasVertexBuffer = false;
  MeshData mesh;
};

}  // namespace zam
