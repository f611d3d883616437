#pragma once
// CPU-side records of a parsed character or weapon model: everything the
// preview needs to create its Direct3D buffers and textures, and everything
// pose evaluation needs, with no Direct3D type in it.

#include <cstdint>
#include <string>
#include <vector>

#include "base/messages.h"
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

inline constexpr uint32_t kFormatP8 = 41;  // D3DFMT_P8: one palette index a pixel

// Level 0 of a texture as stored in the dictionary. `rowSize` is the bytes of
// one stored row (one row of 4x4 blocks for block-compressed formats), so the
// upload can copy row by row into a surface of any pitch; `level0` holds
// exactly rowSize x rowCount bytes. A texture whose format the loader does
// not know keeps its name, format and size and no level: it is drawn
// untextured.
struct TextureImage {
  std::string name;           // as stored in the dictionary
  uint32_t platform = 0;      // 8 (Direct3D 8) or 9 (Direct3D 9)
  uint32_t rasterFormat = 0;  // the library's raster format flags, as read
  uint32_t format = 0;        // D3DFORMAT or FOURCC: as read (Direct3D 9), as the raster names it (Direct3D 8); P8
                              // for every paletted raster
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t rowSize = 0;
  uint32_t rowCount = 0;
  std::vector<uint8_t> level0;
  // For kFormatP8: 256 colours 0xAARRGGBB; entries the dictionary does not
  // store are 0 (transparent black).
  std::vector<uint32_t> palette;
};

// One draw call's worth per material: indices into the vertex array (each
// less than the vertex count) and the texture, if the material has one that
// the dictionary holds.
struct MaterialMesh {
  std::vector<uint32_t> indices;
  int32_t textureIndex = -1;  // into MeshData::textures; -1 draws untextured
};

struct MeshData {
  int32_t primitiveType = kTriangleList;
  std::vector<MaterialMesh> materials;  // materialCount entries
  // Each dictionary texture the materials use, once: materials naming the
  // same texture share it, so the images never take more memory than the
  // dictionary that holds them.
  std::vector<TextureImage> textures;

  const TextureImage* TextureOf(const MaterialMesh& material) const {
    return material.textureIndex < 0 ? nullptr : &textures[static_cast<size_t>(material.textureIndex)];
  }
};

// Result of a model load. A failed load has stopped at its first problem;
// what it had built until then stays in the model.
struct ModelLoadResult {
  bool ok = true;
  Message message = Message::None;  // what to tell the user when !ok
};

// The bone table is indexed by bone (frame i + 1 of the file is bone i);
// boneIds and inverseBindMatrices by HAnim node, the order the skin's bone
// indices use. The loader guarantees: every per-bone and per-node vector has
// boneCount entries; boneParent[i] is -1 or less than i; boneNodeIndex[i] and
// every vertex's boneIndices are less than boneCount.
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
  uint32_t libraryStamp = 0;                  // the Clump's, 0 when none was found
  std::vector<SkinnedVertex> vertices;
  bool hasVertexBuffer = false;               // false when the load stopped before the last pass
  MeshData mesh;
};

struct WeaponModelData {
  uint32_t libraryStamp = 0;                  // the Clump's, 0 when none was found
  std::vector<WeaponVertex> vertices;
  bool hasVertexBuffer = false;               // false when the load stopped before the last pass
  MeshData mesh;
};

}  // namespace zam
