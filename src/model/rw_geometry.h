#pragma once
// The passes both model loaders run over one Geometry of a DFF, each
// starting from the Geometry's body: its vertices, its materials with their
// textures from the dictionary, and its index lists.

#include <cstddef>
#include <vector>

#include "model/model_data.h"
#include "model/rw_load.h"

namespace zam {

// Reads the Geometry's Struct: per vertex the first texture coordinate set
// (when textured), the first morph target's position and, when present, its
// normal, into zero-filled records. Vertex is SkinnedVertex or WeaponVertex.
template <typename Vertex>
bool ReadGeometryVertices(RwLoad& load, size_t geometryBody, std::vector<Vertex>& vertices);

// Reads the material count into `mesh` and, when the load has a dictionary,
// the texture of every textured material whose name the dictionary holds.
bool ReadGeometryMaterials(RwLoad& load, size_t geometryBody, MeshData& mesh);

// Reads the BinMeshPLG: the primitive type and each mesh's indices, stored
// in the slot of the mesh's material (a later mesh of the same material
// replaces an earlier one).
bool ReadGeometryIndices(RwLoad& load, size_t geometryBody, size_t vertexCount, MeshData& mesh);

}  // namespace zam
