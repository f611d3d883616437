#include "dff_builder.h"

#include "math/matrix.h"
#include "rw_writer.h"

namespace zam::gen {
namespace {

constexpr uint16_t kFlagTriangleStrip = 0x01;
constexpr uint16_t kFlagPositions = 0x02;
constexpr uint16_t kFlagTextured = 0x04;
constexpr uint16_t kFlagPrelit = 0x08;
constexpr uint16_t kFlagNormals = 0x10;
constexpr uint16_t kFlagLight = 0x20;
constexpr uint16_t kFlagTextured2 = 0x80;
constexpr int32_t kHAnimVersion = 0x100;
constexpr int32_t kHAnimKeyFrameSize = 36;

uint16_t GeometryFlags(const GeometryDesc& g) {
  if (g.flagsOverride) return *g.flagsOverride;
  uint16_t flags = kFlagPositions | kFlagLight;
  if (g.binMeshFlags != 0) flags |= kFlagTriangleStrip;
  if (!g.texCoords.empty()) flags |= kFlagTextured;
  if (g.extraTexCoordSets > 0) flags |= kFlagTextured2;
  if (g.prelit) flags |= kFlagPrelit;
  if (!g.normals.empty()) flags |= kFlagNormals;
  return flags;
}

void WriteFrameRecord(RwWriter& w, const float* rotation, const Vec3& position, int32_t parent) {
  for (int i = 0; i < 9; ++i) w.F32(rotation[i]);
  w.F32(position.x).F32(position.y).F32(position.z).I32(parent).I32(0);
}

void WriteMaterial(RwWriter& w, const MaterialDesc& m) {
  bool hasTexture = !m.textureName.empty();
  w.Open(kRwMaterial);
  w.Open(kRwStruct).I32(0).U32(0xFFFFFFFF).I32(0).I32(m.texturedFlag.value_or(hasTexture ? 1 : 0));
  w.F32(1.0f).F32(1.0f).F32(1.0f).Close();
  if (hasTexture) {
    w.Open(kRwTexture);
    w.Open(kRwStruct).U32(0x1106).Close();  // linear mip filtering, wrap addressing
    w.String(m.textureName).String("");
    w.Open(kRwExtension).Close();
    w.Close();
  }
  w.Open(kRwExtension).Close();
  w.Close();
}

void WriteBinMesh(RwWriter& w, const GeometryDesc& g) {
  uint32_t total = 0;
  for (const MeshDesc& mesh : g.meshes) total += static_cast<uint32_t>(mesh.indices.size());
  w.Open(kRwBinMeshPlg).U32(g.binMeshFlags).U32(static_cast<uint32_t>(g.meshes.size())).U32(total);
  for (const MeshDesc& mesh : g.meshes) {
    w.U32(static_cast<uint32_t>(mesh.indices.size())).U32(mesh.material);
    for (uint32_t index : mesh.indices) w.U32(index);
  }
  w.Close();
}

void WriteSkin(RwWriter& w, const SkinDesc& skin) {
  const uint8_t bones = static_cast<uint8_t>(skin.inverseBindMatrices.size());
  const bool older = skin.maxWeightsPerVertex == 0;
  const uint8_t usedBones = older ? 0 : bones;
  w.Open(kRwSkinPlg).U8(bones).U8(usedBones).U8(skin.maxWeightsPerVertex).U8(0);
  for (uint8_t b = 0; b < usedBones; ++b) w.U8(b);  // every bone is used
  for (const auto& indices : skin.boneIndices) w.Bytes(indices.data(), indices.size());
  for (const auto& weights : skin.weights) w.Bytes(weights.data(), sizeof(float) * weights.size());
  for (const Matrix4& m : skin.inverseBindMatrices) {
    if (older) w.U32(0xDEADDEAD);
    w.Bytes(&m, sizeof m);
  }
  if (!older) w.U32(0).U32(0).U32(0);  // bone limit, split mesh and run counts: not used by the loader
  w.Close();
}

void WriteGeometry(RwWriter& w, const GeometryDesc& g, const SkinDesc* skin) {
  uint16_t flags = GeometryFlags(g);
  uint32_t vertexCount = static_cast<uint32_t>(g.positions.size());
  std::vector<std::array<uint32_t, 3>> triangles;
  if (g.binMeshFlags == 0) {
    for (const MeshDesc& mesh : g.meshes) {
      for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3)
        triangles.push_back({mesh.indices[i], mesh.indices[i + 1], mesh.indices[i + 2]});
    }
  }
  uint8_t sets = static_cast<uint8_t>(g.texCoords.empty() ? 0 : 1 + g.extraTexCoordSets);

  w.Open(kRwGeometry);
  w.Open(kRwStruct).U16(flags).U8(sets).U8(0);
  w.I32(static_cast<int32_t>(triangles.size())).I32(static_cast<int32_t>(vertexCount)).I32(1);
  if (g.prelit) {
    for (uint32_t v = 0; v < vertexCount; ++v) w.U32(0xFF808080);
  }
  for (uint8_t set = 0; set < sets; ++set) {
    for (const auto& uv : g.texCoords) w.F32(uv[0] + set).F32(uv[1]);
  }
  for (const auto& t : triangles) {
    w.U16(static_cast<uint16_t>(t[1])).U16(static_cast<uint16_t>(t[0])).U16(0).U16(static_cast<uint16_t>(t[2]));
  }
  w.F32(0).F32(0).F32(1).F32(2);  // bounding sphere
  w.I32(1).I32(g.normals.empty() ? 0 : 1);
  for (const Vec3& p : g.positions) w.F32(p.x).F32(p.y).F32(p.z);
  for (const Vec3& n : g.normals) w.F32(n.x).F32(n.y).F32(n.z);
  w.Close();

  w.Open(kRwMaterialList);
  w.Open(kRwStruct).I32(static_cast<int32_t>(g.materials.size()));
  for (size_t m = 0; m < g.materials.size(); ++m) w.I32(-1);
  w.Close();
  for (const MaterialDesc& m : g.materials) WriteMaterial(w, m);
  w.Close();

  w.Open(kRwExtension);
  if (g.writeBinMesh) WriteBinMesh(w, g);
  if (skin) WriteSkin(w, *skin);
  w.Close();
  w.Close();
}

void WriteGeometryList(RwWriter& w, const std::vector<const GeometryDesc*>& geometries, const SkinDesc* skin) {
  w.Open(kRwGeometryList);
  w.Open(kRwStruct).I32(static_cast<int32_t>(geometries.size())).Close();
  for (const GeometryDesc* g : geometries) WriteGeometry(w, *g, skin);
  w.Close();
}

void WriteAtomic(RwWriter& w, const AtomicDesc& atomic) {
  w.Open(kRwAtomic);
  w.Open(kRwStruct).I32(atomic.frame).I32(atomic.geometry).I32(5).I32(0).Close();
  w.Open(kRwExtension).Close();
  w.Close();
}

void WriteClumpStruct(RwWriter& w, int32_t atomics) { w.Open(kRwStruct).I32(atomics).I32(0).I32(0).Close(); }

}  // namespace

Matrix4 InverseTranslation(const Vec3& position) {
  return TranslationMatrix({-position.x, -position.y, -position.z});
}

std::vector<uint8_t> BuildCharacterDff(const CharacterDesc& desc) {
  RwWriter w(desc.stamp);
  int32_t frames = static_cast<int32_t>(desc.bones.size()) + 1;
  std::vector<int32_t> nodeTable = desc.nodeTable;
  if (nodeTable.empty()) {
    for (const BoneDesc& bone : desc.bones) nodeTable.push_back(bone.id);
  }

  w.Open(kRwClump);
  WriteClumpStruct(w, 1);
  w.Open(kRwFrameList);
  w.Open(kRwStruct).I32(desc.frameCount.value_or(frames));
  static const float kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  WriteFrameRecord(w, kIdentity, Vec3{}, -1);
  for (const BoneDesc& bone : desc.bones) WriteFrameRecord(w, bone.rotation, bone.position, bone.parentFrame);
  w.Close();
  w.Open(kRwExtension);
  if (desc.writeFrameNames) w.Open(kRwFrameName).Text(desc.rootFrameName, desc.rootFrameName.size()).Close();
  w.Close();
  for (size_t b = 0; b < desc.bones.size(); ++b) {
    const BoneDesc& bone = desc.bones[b];
    // The stored name has no terminating zero: the section's size gives its length.
    const bool nameFirst = desc.writeFrameNames && desc.frameNameFirst;
    const bool nameLast = desc.writeFrameNames && !desc.frameNameFirst;
    w.Open(kRwExtension);
    if (nameFirst) w.Open(kRwFrameName).Text(bone.name, bone.name.size()).Close();
    w.Open(kRwHAnimPlg).I32(kHAnimVersion).I32(bone.id);
    if (b == 0) {
      w.I32(desc.nodeCount.value_or(static_cast<int32_t>(nodeTable.size()))).I32(0).I32(kHAnimKeyFrameSize);
      for (size_t n = 0; n < nodeTable.size(); ++n) w.I32(nodeTable[n]).I32(static_cast<int32_t>(n)).I32(0);
    } else {
      w.I32(0);
    }
    w.Close();
    if (nameLast) w.Open(kRwFrameName).Text(bone.name, bone.name.size()).Close();
    w.Close();
  }
  w.Close();

  WriteGeometryList(w, {&desc.geometry}, desc.writeSkin ? &desc.skin : nullptr);
  WriteAtomic(w, AtomicDesc{1, 0});
  w.Open(kRwExtension).Close();
  w.Close();
  return w.Take();
}

std::vector<uint8_t> BuildWeaponDff(const WeaponDesc& desc) {
  RwWriter w(desc.stamp);
  w.Open(kRwClump);
  WriteClumpStruct(w, desc.atomicCount.value_or(static_cast<int32_t>(desc.atomics.size())));
  w.Open(kRwFrameList);
  w.Open(kRwStruct).I32(desc.frameCount);
  static const float kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  for (int32_t f = 0; f < desc.frameCount; ++f) WriteFrameRecord(w, kIdentity, Vec3{}, f == 0 ? -1 : 0);
  w.Close();
  for (int32_t f = 0; f < desc.frameCount; ++f) w.Open(kRwExtension).Close();
  w.Close();
  std::vector<const GeometryDesc*> geometries;
  for (const GeometryDesc& g : desc.geometries) geometries.push_back(&g);
  WriteGeometryList(w, geometries, nullptr);
  for (const AtomicDesc& atomic : desc.atomics) WriteAtomic(w, atomic);
  w.Open(kRwExtension).Close();
  w.Close();
  return w.Take();
}

}  // namespace zam::gen
