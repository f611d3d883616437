#include "model/weapon_model_loader.h"

#include <utility>
#include <vector>

#include "base/messages.h"
#include "model/rw_chunk.h"
#include "model/rw_geometry.h"
#include "model/rw_load.h"

namespace zam {
namespace {

constexpr uint64_t kAtomicStructSize = 16;  // frame index, geometry index, flags, one word

// The index of the Geometry to load: the one of the first Atomic attached to
// frame 0, or the Clump's atomic count when no Atomic is. Notes the Clump's
// stamp in `model`.
bool ChooseGeometryIndex(RwLoad& load, WeaponModelData& model, size_t& clumpBody, int32_t& geometryIndex) {
  ByteReader& dff = load.dff;
  dff.SeekTo(0);
  RwSection clump, clumpStruct;
  if (!load.Find(dff, kRwClump, Message::RwClumpNotFound, &clump)) return false;
  model.libraryStamp = RwLoad::StampOf(dff, clump);
  clumpBody = clump.body;
  if (!load.Find(dff, kRwStruct, Message::RwClumpStructNotFound, &clumpStruct) ||
      !load.Holds(dff, clumpStruct, 4, Message::RwClumpStructDamaged)) {
    return false;
  }
  geometryIndex = dff.Read<int32_t>();  // the atomic count
  Message damaged = Message::RwClumpStructDamaged;
  dff.SeekTo(clumpStruct.body - sizeof(RwChunkHeader));
  while (FindChunk(dff, kRwAtomic) >= 0) {  // the end of the Atomics is no failure
    RwSection atomic;
    if (!load.Find(dff, kRwStruct, Message::RwAtomicStructNotFound, &atomic) ||
        !load.Holds(dff, atomic, kAtomicStructSize, Message::RwAtomicStructDamaged)) {
      return false;
    }
    if (dff.Read<int32_t>() == 0) {
      geometryIndex = dff.Read<int32_t>();
      damaged = Message::RwAtomicStructDamaged;
      break;
    }
    dff.Skip(12);  // geometry index, flags, one word
  }
  if (geometryIndex < 0) return load.Fail(damaged);
  return true;
}

bool FindWeaponGeometry(RwLoad& load, WeaponModelData& model, size_t& geometryBody) {
  ByteReader& dff = load.dff;
  size_t clumpBody = 0;
  int32_t geometryIndex = 0;
  if (!ChooseGeometryIndex(load, model, clumpBody, geometryIndex)) return false;
  dff.SeekTo(clumpBody);
  if (!load.Find(dff, kRwGeometryList, Message::RwGeometryListNotFound)) return false;
  // Every Geometry stepped over must exist: fewer Geometries than the index
  // end the load as a missing Geometry would.
  RwSection geometry;
  for (int32_t skipped = 0; skipped < geometryIndex; ++skipped) {
    if (!load.Find(dff, kRwGeometry, Message::RwGeometryNotFound, &geometry)) return false;
    dff.Skip(geometry.size);
  }
  if (!load.Find(dff, kRwGeometry, Message::RwGeometryNotFound, &geometry)) return false;
  geometryBody = geometry.body;
  return true;
}

// One record per vertex.
void BuildWeaponVertices(GeometryVertexArrays arrays, std::vector<WeaponVertex>& vertices) {
  vertices.resize(arrays.count);
  for (WeaponVertex& vertex : vertices) CopyGeometryVertex(arrays, vertex);
}

}  // namespace

ModelLoadResult LoadWeaponModel(const uint8_t* dff, size_t dffSize, const uint8_t* txd, size_t txdSize,
                                WeaponModelData& model) {
  std::vector<WeaponVertex> vertices = std::move(model.vertices);  // keeps its memory for the next load
  vertices.clear();
  model = WeaponModelData{};
  model.vertices = std::move(vertices);
  RwLoad load(dff, dffSize, txd, txdSize);
  size_t geometryBody = 0;
  GeometryVertexArrays arrays;
  if (!FindWeaponGeometry(load, model, geometryBody) || !FindGeometryVertices(load, geometryBody, arrays)) {
    return load.Result();
  }
  BuildWeaponVertices(arrays, model.vertices);
  model.hasVertexBuffer = ReadGeometryMaterials(load, geometryBody, model.mesh) &&
                          ReadGeometryIndices(load, geometryBody, arrays.count, model.mesh);
  return load.Result();
}

}  // namespace zam
