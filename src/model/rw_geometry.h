#pragma once
// The passes both model loaders run over one Geometry of a DFF, each
// starting from the Geometry's body: its vertex arrays, its materials with
// their textures from the dictionary, and its index lists.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/model_data.h"
#include "model/rw_load.h"

namespace zam {

// One per-vertex array of a file: the bytes of its first vertex and the
// distance from one vertex's bytes to the next's. An array the file does
// not store reads as zeros, standing still on a zero record, so that the
// loops copying the arrays need no test per vertex.
struct VertexArray {
  static constexpr uint8_t kZeros[16] = {};
  const uint8_t* at = kZeros;
  size_t step = 0;

  // The current vertex's bytes; moves to the next vertex.
  const uint8_t* Next() {
    const uint8_t* here = at;
    at += step;
    return here;
  }
};

// The per-vertex arrays of a Geometry's Struct, checked to lie inside it:
// the first texture coordinate set (8 bytes a vertex), the first morph
// target's positions and normals (12 bytes each).
struct GeometryVertexArrays {
  size_t count = 0;
  VertexArray texCoords, positions, normals;
};

// Reads the Geometry's Struct up to its vertex arrays.
bool FindGeometryVertices(RwLoad& load, size_t geometryBody, GeometryVertexArrays& arrays);

// Copies the arrays' current vertex into `v` with fixed-size copies and
// moves them to the next. Vertex is SkinnedVertex or WeaponVertex. Inline,
// so that each loader's loop over its records compiles into one loop.
template <typename Vertex>
inline void CopyGeometryVertex(GeometryVertexArrays& arrays, Vertex& v) {
  std::memcpy(v.position, arrays.positions.Next(), sizeof v.position);
  std::memcpy(v.normal, arrays.normals.Next(), sizeof v.normal);
  std::memcpy(v.texCoord, arrays.texCoords.Next(), sizeof v.texCoord);
}

// Reads the material count into `mesh` and, when the load has a dictionary,
// the texture of every textured material whose name the dictionary holds.
bool ReadGeometryMaterials(RwLoad& load, size_t geometryBody, MeshData& mesh);

// Reads the BinMeshPLG: the primitive type and each mesh's indices, stored
// in the slot of the mesh's material (a later mesh of the same material
// replaces an earlier one).
bool ReadGeometryIndices(RwLoad& load, size_t geometryBody, size_t vertexCount, MeshData& mesh);

}  // namespace zam
