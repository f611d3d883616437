#include "model/rw_geometry.h"

#include <cstring>
#include <string>
#include <utility>

#include "base/messages.h"
#include "model/rw_chunk.h"
#include "model/texture_dictionary.h"

namespace zam {
namespace {

constexpr uint16_t kGeometryTextured = 0x04;
constexpr uint16_t kGeometryPrelit = 0x08;
constexpr uint16_t kGeometryNormals = 0x10;
constexpr uint16_t kGeometryTextured2 = 0x80;  // several coordinate sets

// Reads the Texture's String: the name up to its first zero, which must fit
// a 32-byte field with its terminator.
bool ReadTextureName(RwLoad& load, const RwSection& string, std::string& name) {
  constexpr size_t kField = 32;
  size_t stored = string.size < kField ? string.size : kField;
  if (!load.Holds(load.dff, string, stored, Message::RwTextureStringDamaged)) return false;
  char field[kField] = {};
  load.dff.ReadBytes(field, stored);
  size_t length = 0;
  while (length < stored && field[length] != '\0') ++length;
  if (length == kField) return load.Fail(Message::RwTextureStringTooLong);
  name.assign(field, length);
  return true;
}

// Finds the material's texture in the dictionary and returns its index in
// mesh.textures (-1 for none); a texture named by several materials is read once.
bool ResolveTexture(RwLoad& load, size_t firstTexture, const std::string& name, MeshData& mesh,
                    std::vector<size_t>& textureStructs, int32_t& textureIndex) {
  bool found = false;
  RwSection nativeStruct;
  if (!FindDictionaryTexture(load, firstTexture, name, found, nativeStruct)) return false;
  textureIndex = -1;
  if (!found) return true;
  for (size_t t = 0; t < textureStructs.size(); ++t) {
    if (textureStructs[t] == nativeStruct.body) {
      textureIndex = static_cast<int32_t>(t);
      return true;
    }
  }
  TextureImage image;
  if (!ReadTextureImage(load, nativeStruct, image)) return false;
  textureIndex = static_cast<int32_t>(mesh.textures.size());
  mesh.textures.push_back(std::move(image));
  textureStructs.push_back(nativeStruct.body);
  return true;
}

}  // namespace

bool FindGeometryVertices(RwLoad& load, size_t geometryBody, GeometryVertexArrays& arrays) {
  ByteReader& dff = load.dff;
  Message damaged = Message::RwGeometryStructDamaged;
  dff.SeekTo(geometryBody);
  RwSection geometry;
  if (!load.Find(dff, kRwStruct, Message::RwGeometryStructNotFound, &geometry) ||
      !load.Holds(dff, geometry, 16, damaged)) {
    return false;
  }
  uint16_t flags = dff.Read<uint16_t>();
  uint8_t coordinateSets = dff.Read<uint8_t>();
  dff.Skip(1);
  int32_t triangleCount = dff.Read<int32_t>();
  int32_t vertexCount = dff.Read<int32_t>();
  dff.Skip(4);  // morph target count: only the first is read

  bool textured = (flags & kGeometryTextured) != 0;
  bool moreSets = (flags & kGeometryTextured2) != 0;
  // Several sets without the textured flag would leave the coordinates unread
  // and every later field misplaced.
  if (triangleCount < 0 || vertexCount < 0 || (moreSets && !textured) || (moreSets && coordinateSets < 1)) {
    return load.Fail(damaged);
  }
  uint64_t count = static_cast<uint64_t>(vertexCount);
  uint64_t extraSets = moreSets ? coordinateSets - 1u : 0u;
  uint64_t needed = ((flags & kGeometryPrelit) ? 4 * count : 0) + (textured ? 8 * count * (1 + extraSets) : 0) +
                    8 * static_cast<uint64_t>(triangleCount) + 16 + 8 + 12 * count +
                    ((flags & kGeometryNormals) ? 12 * count : 0);
  if (!load.Holds(dff, geometry, needed, damaged)) return false;

  // Each array is taken whole: the bytes were checked above.
  if (flags & kGeometryPrelit) dff.Skip(4 * count);  // vertex colours
  arrays = GeometryVertexArrays{};
  arrays.count = static_cast<size_t>(count);
  if (textured) arrays.texCoords = VertexArray{dff.Take(8 * count), 8};
  dff.Skip(8 * count * extraSets);
  dff.Skip(8 * static_cast<uint64_t>(triangleCount) + 16 + 8);  // triangles, bounding sphere, two words
  arrays.positions = VertexArray{dff.Take(12 * count), 12};
  if (flags & kGeometryNormals) arrays.normals = VertexArray{dff.Take(12 * count), 12};
  return true;
}

bool ReadGeometryMaterials(RwLoad& load, size_t geometryBody, MeshData& mesh) {
  ByteReader& dff = load.dff;
  dff.SeekTo(geometryBody);
  RwSection list;
  if (!load.Find(dff, kRwMaterialList, Message::RwMaterialListNotFound) ||
      !load.Find(dff, kRwStruct, Message::RwMaterialListStructNotFound, &list) ||
      !load.Holds(dff, list, 4, Message::RwMaterialListStructDamaged)) {
    return false;
  }
  int32_t materialCount = dff.Read<int32_t>();
  // Each material has a word in the index table that follows the count.
  if (materialCount < 0) return load.Fail(Message::RwMaterialListStructDamaged);
  uint64_t indexTable = 4 * static_cast<uint64_t>(materialCount);
  if (!load.Holds(dff, list, indexTable, Message::RwMaterialListStructDamaged)) return false;
  mesh.materials.assign(static_cast<size_t>(materialCount), MaterialMesh{});
  if (!load.hasDictionary) return true;

  size_t firstTexture = 0;
  if (!OpenTextureDictionary(load, firstTexture)) return false;
  dff.Skip(indexTable);
  size_t nextMaterial = dff.Position();
  std::vector<size_t> textureStructs;  // the Struct body of each entry of mesh.textures
  for (MaterialMesh& material : mesh.materials) {
    dff.SeekTo(nextMaterial);
    RwSection materialSection, materialStruct;
    if (!load.Find(dff, kRwMaterial, Message::RwMaterialNotFound, &materialSection)) return false;
    nextMaterial = materialSection.body + materialSection.size;
    if (!load.Find(dff, kRwStruct, Message::RwMaterialStructNotFound, &materialStruct) ||
        !load.Holds(dff, materialStruct, 16, Message::RwMaterialStructDamaged)) {
      return false;
    }
    dff.Skip(12);  // flags, colour, one word
    if (dff.Read<int32_t>() == 0) continue;  // not textured
    if (!load.Holds(dff, materialStruct, 12, Message::RwMaterialStructDamaged)) return false;
    dff.Skip(12);  // ambient, specular, diffuse
    RwSection string;
    std::string name;
    if (!load.Find(dff, kRwTexture, Message::RwTextureNotFound) ||
        !load.Find(dff, kRwString, Message::RwTextureStringNotFound, &string) || !ReadTextureName(load, string, name) ||
        !ResolveTexture(load, firstTexture, name, mesh, textureStructs, material.textureIndex)) {
      return false;
    }
  }
  return true;
}

bool ReadGeometryIndices(RwLoad& load, size_t geometryBody, size_t vertexCount, MeshData& mesh) {
  ByteReader& dff = load.dff;
  Message damaged = Message::RwBinMeshDamaged;
  dff.SeekTo(geometryBody);
  RwSection binMesh;
  if (!load.Find(dff, kRwExtension, Message::RwGeometryExtensionNotFound) ||
      !load.Find(dff, kRwBinMeshPlg, Message::RwBinMeshNotFound, &binMesh) || !load.Holds(dff, binMesh, 12, damaged)) {
    return false;
  }
  uint32_t flags = dff.Read<uint32_t>();
  uint32_t meshCount = dff.Read<uint32_t>();
  dff.Skip(4);  // total index count
  mesh.primitiveType = flags == 0 ? kTriangleList : kTriangleStrip;
  for (uint32_t m = 0; m < meshCount; ++m) {
    if (!load.Holds(dff, binMesh, 8, damaged)) return false;
    uint32_t indexCount = dff.Read<uint32_t>();
    uint32_t material = dff.Read<uint32_t>();
    if (material >= mesh.materials.size() || !load.Holds(dff, binMesh, 4 * uint64_t{indexCount}, damaged)) {
      return load.Fail(damaged);
    }
    const uint8_t* words = dff.Take(4 * size_t{indexCount});  // checked above
    // Every index must name a vertex. One pass copies the words and checks
    // them, or-ing the comparisons (no running maximum's chain), and
    // vectorises; the zero-fill before it is a memset, far cheaper than a
    // second pass. Vertex counts are read from 32-bit fields.
    const uint32_t limit = vertexCount < UINT32_MAX ? static_cast<uint32_t>(vertexCount) : UINT32_MAX;
    std::vector<uint32_t> indices(indexCount);
    uint32_t* out = indices.data();
    uint32_t outside = 0;
    for (size_t i = 0; i < indexCount; ++i) {
      uint32_t index;
      std::memcpy(&index, words + 4 * i, sizeof index);
      out[i] = index;
      outside |= index >= limit;
    }
    if (outside != 0) return load.Fail(damaged);
    mesh.materials[material].indices = std::move(indices);
  }
  return true;
}

}  // namespace zam
