#include "model/skinned_model_loader.h"

#include <cstring>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "math/matrix.h"

#include "demo_models.h"
#include "model/texture_dictionary.h"
#include "model/rw_test_files.h"
#include "rw_writer.h"

namespace zam {
namespace {

using gen::BuildCharacterDff;
using gen::BuildTxd;
using test::Bytes;
using test::LoadCharacter;
using ::testing::ElementsAre;

// Bones named as given, each a child of the one before, with IDs 10, 11, ...;
// one untextured box bound to the first bone.
gen::CharacterDesc Skeleton(const std::vector<std::string>& names) {
  gen::CharacterDesc desc;
  for (size_t b = 0; b < names.size(); ++b) {
    desc.bones.push_back({names[b], 10 + static_cast<int32_t>(b), static_cast<int32_t>(b)});
    desc.skin.inverseBindMatrices.push_back(IdentityMatrix());
  }
  desc.geometry.materials = {gen::MaterialDesc{}};
  gen::AddBox(desc.geometry, &desc.skin, 0, {0, 0, 0}, {1, 1, 1}, 0);
  return desc;
}

SkinnedModelData Load(const gen::CharacterDesc& desc, const gen::DictionaryDesc* dictionary = nullptr) {
  Bytes txd = dictionary ? BuildTxd(*dictionary) : Bytes();
  SkinnedModelData model;
  ModelLoadResult result = LoadCharacter(BuildCharacterDff(desc), dictionary ? &txd : nullptr, model);
  EXPECT_TRUE(result.ok) << MessageText(result.message);
  return model;
}

std::vector<float> Row(const Matrix4& m, int row) { return {m.m[row][0], m.m[row][1], m.m[row][2], m.m[row][3]}; }

// Every vertex as the description built it (the first coordinate set).
void ExpectVerticesOf(const gen::CharacterDesc& desc, const SkinnedModelData& model) {
  ASSERT_EQ(model.vertices.size(), desc.geometry.positions.size());
  for (size_t v = 0; v < model.vertices.size(); ++v) {
    const SkinnedVertex& vertex = model.vertices[v];
    EXPECT_THAT(vertex.position, ElementsAre(desc.geometry.positions[v].x, desc.geometry.positions[v].y,
                                             desc.geometry.positions[v].z)) << v;
    if (!desc.geometry.normals.empty()) { EXPECT_EQ(vertex.normal[2], desc.geometry.normals[v].z) << v; }
    if (!desc.geometry.texCoords.empty()) { EXPECT_EQ(vertex.texCoord[1], desc.geometry.texCoords[v][1]) << v; }
    EXPECT_EQ(vertex.boneIndices[0], desc.skin.boneIndices[v][0]) << v;
  }
}

TEST(SkinnedModelLoader, LoadsTheSmallCharacterCompletely) {
  gen::CharacterDesc desc = gen::SmallCharacter();
  gen::DictionaryDesc dictionary = gen::SmallCharacterTextures();
  SkinnedModelData model = Load(desc, &dictionary);
  EXPECT_THAT(model.boneNames, ElementsAre("root", "spine", "r hand"));
  EXPECT_THAT(model.boneIds, ElementsAre(0, 2, 24));
  EXPECT_THAT(model.boneNodeIndex, ElementsAre(0, 1, 2));
  EXPECT_THAT(model.boneParent, ElementsAre(-1, 0, 1));
  EXPECT_EQ(model.weaponBoneIndex, 2);
  EXPECT_TRUE(model.hasVertexBuffer);
  ExpectVerticesOf(desc, model);
  EXPECT_EQ(model.mesh.primitiveType, kTriangleList);
  ASSERT_EQ(model.mesh.materials.size(), 2u);
  EXPECT_EQ(model.mesh.materials[0].indices, desc.geometry.meshes[0].indices);
  EXPECT_EQ(model.mesh.materials[1].textureIndex, -1);
  const TextureImage* body = model.mesh.TextureOf(model.mesh.materials[0]);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->name, "body");
  EXPECT_EQ(body->level0, dictionary.textures[1].level0);
  // The demo's DXT1 texture keeps level 0 only, not the smaller levels after it.
  dictionary = gen::DemoCharacterTextures();
  model = Load(gen::DemoCharacter(), &dictionary);
  EXPECT_EQ(model.weaponBoneIndex, 13);
  EXPECT_EQ(model.mesh.TextureOf(model.mesh.materials[1])->level0.size(), 2048u);
  EXPECT_EQ(model.mesh.TextureOf(model.mesh.materials[2]), nullptr);
}

template <typename T>
bool SameBytes(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0;
}

// Exporters write a frame's name before or after its HAnimPLG, and the
// libraries 3.4 to 3.6 lay out the sections alike (the 3.4 characters with
// the older skin layout): each variant loads as the game's own file does.
TEST(SkinnedModelLoader, EitherFrameSectionOrderAndEveryReadableVersionGiveTheSameCharacter) {
  gen::DictionaryDesc dictionary = gen::DemoCharacterTextures();
  const Bytes txd = BuildTxd(dictionary);
  SkinnedModelData original;
  ASSERT_TRUE(LoadCharacter(BuildCharacterDff(gen::DemoCharacter()), &txd, original).ok);
  EXPECT_EQ(original.libraryStamp, kRwLibraryStamp);
  struct Variant {
    bool nameFirst;
    uint32_t version;
    uint8_t maxWeights;  // 0: the older skin layout
  };
  for (const Variant& v : {Variant{true, 0x36003, 4}, Variant{false, 0x34000, 0}, Variant{true, 0x34003, 0},
                           Variant{false, 0x35000, 4}, Variant{true, 0x36000, 0}}) {
    gen::CharacterDesc desc = gen::DemoCharacter();
    desc.frameNameFirst = v.nameFirst;
    desc.stamp = dictionary.stamp = gen::RwLibraryStampOf(v.version);
    desc.skin.maxWeightsPerVertex = v.maxWeights;
    const Bytes stampedTxd = BuildTxd(dictionary);
    SkinnedModelData model;
    ModelLoadResult result = LoadCharacter(BuildCharacterDff(desc), &stampedTxd, model);
    ASSERT_TRUE(result.ok) << std::hex << v.version << " " << MessageText(result.message);
    EXPECT_EQ(RwLibraryVersion(model.libraryStamp), v.version);
    EXPECT_EQ(model.boneNames, original.boneNames) << std::hex << v.version;
    EXPECT_EQ(model.boneIds, original.boneIds);
    EXPECT_EQ(model.boneNodeIndex, original.boneNodeIndex);
    EXPECT_EQ(model.boneParent, original.boneParent);
    EXPECT_EQ(model.weaponBoneIndex, original.weaponBoneIndex);
    EXPECT_TRUE(SameBytes(model.boneRotation, original.boneRotation) &&
                SameBytes(model.bonePosition, original.bonePosition) &&
                SameBytes(model.inverseBindMatrices, original.inverseBindMatrices) &&
                SameBytes(model.vertices, original.vertices))
        << std::hex << v.version;
    ASSERT_EQ(model.mesh.textures.size(), original.mesh.textures.size());
    for (size_t t = 0; t < model.mesh.textures.size(); ++t) {
      EXPECT_EQ(model.mesh.textures[t].level0, original.mesh.textures[t].level0);
    }
  }
}

TEST(SkinnedModelLoader, NormalisedFrameNamesMarkTheWeaponBone) {
  for (const char* name : {"R Hand", "normal R Hand", "Ripped r hand", " r hand", "ROOT Normal FAT R HAND"}) {
    SkinnedModelData model = Load(Skeleton({"Root", name, "Other"}));
    EXPECT_EQ(model.boneNames[1], "r hand") << name;
    EXPECT_EQ(model.weaponBoneIndex, 1) << name;
  }
  EXPECT_EQ(Load(Skeleton({"Root", "fat r hand2"})).weaponBoneIndex, -1);
  // The root bone never is; the last match wins.
  EXPECT_EQ(Load(Skeleton({"R Hand", "Spine"})).weaponBoneIndex, -1);
  EXPECT_EQ(Load(Skeleton({"Root", "R Hand", "Normal R Hand", "Spine"})).weaponBoneIndex, 2);
  // Prefixes go once each, in their order.
  EXPECT_EQ(NormaliseBoneName("normal root x"), "root x");
  EXPECT_EQ(NormaliseBoneName("root root x"), "root x");
  EXPECT_EQ(NormaliseBoneName("ripped fat x"), "fat x");
  EXPECT_EQ(NormaliseBoneName(""), "");
}

TEST(SkinnedModelLoader, ALoadKeepsNothingOfTheModelBefore) {
  Bytes demo = BuildCharacterDff(gen::DemoCharacter());
  Bytes demoTxd = BuildTxd(gen::DemoCharacterTextures());
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(demo, &demoTxd, model).ok);
  ASSERT_TRUE(LoadCharacter(BuildCharacterDff(Skeleton({"Root", "L Hand"})), nullptr, model).ok);
  EXPECT_EQ(model.boneNames.size(), 2u);
  EXPECT_EQ(model.weaponBoneIndex, -1);
  EXPECT_EQ(model.vertices.size(), 24u);
  EXPECT_TRUE(model.mesh.textures.empty());
  ASSERT_FALSE(LoadCharacter(Bytes(), nullptr, model).ok);
  EXPECT_EQ(model.boneCount, 0);
  EXPECT_TRUE(model.vertices.empty());
  EXPECT_TRUE(model.mesh.materials.empty());
}

TEST(SkinnedModelLoader, HierarchyNodeTableAndFramesAsStored) {
  gen::CharacterDesc desc = Skeleton({"a", "b", "c", "d", "e"});
  desc.bones[3].parentFrame = 3;  // bone 2's frame
  desc.bones[4].parentFrame = 1;  // bone 0's frame
  for (int i = 0; i < 9; ++i) desc.bones[1].rotation[i] = static_cast<float>(i + 1);
  desc.bones[1].position = {4.5f, -5.0f, 6.25f};
  desc.nodeTable = {13, 10, 12, 11, 11};
  SkinnedModelData model = Load(desc);
  EXPECT_THAT(model.boneParent, ElementsAre(-1, 0, 1, 2, 0));
  EXPECT_THAT(model.boneIds, ElementsAre(13, 10, 12, 11, 11));
  // Bone 0 keeps node 0 whatever its ID; the last match wins; a missing ID (14) gives node 0.
  EXPECT_THAT(model.boneNodeIndex, ElementsAre(0, 4, 2, 0, 0));
  EXPECT_THAT(Row(model.boneRotation[1], 0), ElementsAre(1, 2, 3, 0));
  EXPECT_THAT(Row(model.boneRotation[1], 2), ElementsAre(7, 8, 9, 0));
  EXPECT_THAT(Row(model.boneRotation[1], 3), ElementsAre(0, 0, 0, 1));
  EXPECT_EQ(model.bonePosition[1].z, 6.25f);
}

TEST(SkinnedModelLoader, MeshesLandInTheirMaterialsSlotsAsStripsOrLists) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.materials = {gen::MaterialDesc{}, gen::MaterialDesc{}, gen::MaterialDesc{}};
  desc.geometry.meshes = {{2, {0, 1, 2}}, {0, {2, 3, 0, 1}}, {2, {5, 6, 7}}};
  desc.geometry.binMeshFlags = 1;
  SkinnedModelData model = Load(desc);
  EXPECT_EQ(model.mesh.primitiveType, kTriangleStrip);
  ASSERT_EQ(model.mesh.materials.size(), 3u);
  EXPECT_THAT(model.mesh.materials[0].indices, ElementsAre(2, 3, 0, 1));
  EXPECT_TRUE(model.mesh.materials[1].indices.empty());
  EXPECT_THAT(model.mesh.materials[2].indices, ElementsAre(5, 6, 7));  // a later mesh replaces
}

TEST(SkinnedModelLoader, TexturesByNameWithoutRegardToCaseSharedAndOptional) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.materials = {{"BODY", {}}, {"Other", {}}, {"missing", {}}, {"body", 0}, {"Body", {}}};
  gen::DictionaryDesc dictionary = gen::SmallCharacterTextures();
  SkinnedModelData model = Load(desc, &dictionary);
  const MaterialMesh* m = model.mesh.materials.data();
  ASSERT_NE(model.mesh.TextureOf(m[0]), nullptr);
  EXPECT_EQ(model.mesh.TextureOf(m[0])->name, "body");
  EXPECT_EQ(model.mesh.TextureOf(m[1])->rowSize, 8u);
  EXPECT_EQ(m[2].textureIndex, -1);  // a name the dictionary lacks is no error
  EXPECT_EQ(m[3].textureIndex, -1);  // a textured flag of zero
  EXPECT_EQ(m[4].textureIndex, m[0].textureIndex);
  EXPECT_EQ(model.mesh.textures.size(), 2u);
  model = Load(gen::SmallCharacter());
  EXPECT_TRUE(model.hasVertexBuffer);
  for (const MaterialMesh& material : model.mesh.materials) EXPECT_EQ(material.textureIndex, -1);
  // A format no loader knows (P8 without a palette among them) keeps its
  // texture without a level, to be drawn untextured; the others stay.
  for (uint32_t format : {0u, 41u, 0x12345678u}) {
    dictionary = gen::SmallCharacterTextures();
    dictionary.textures[1].format = format;
    model = Load(desc, &dictionary);
    EXPECT_TRUE(model.mesh.TextureOf(model.mesh.materials[0])->level0.empty()) << format;
    EXPECT_EQ(model.mesh.TextureOf(model.mesh.materials[1])->rowSize, 8u) << format;
  }
}

TEST(SkinnedModelLoader, SkinTakesThreeWeightsAndFixesTheInverseBindColumn) {
  gen::CharacterDesc desc = Skeleton({"a", "b", "c"});
  desc.skin.weights[0] = {0.5f, 0.25f, 0.125f, 0.9f};
  desc.skin.boneIndices[0] = {2, 1, 0, 2};
  for (int i = 0; i < 16; ++i) desc.skin.inverseBindMatrices[1].m[i / 4][i % 4] = static_cast<float>(i + 1);
  SkinnedModelData model = Load(desc);
  EXPECT_THAT(model.vertices[0].blendWeights, ElementsAre(0.5f, 0.25f, 0.125f));
  EXPECT_THAT(model.vertices[0].boneIndices, ElementsAre(2, 1, 0, 2));
  EXPECT_THAT(Row(model.inverseBindMatrices[1], 0), ElementsAre(1, 2, 3, 0));
  EXPECT_THAT(Row(model.inverseBindMatrices[1], 3), ElementsAre(13, 14, 15, 1));
}

TEST(SkinnedModelLoader, ColoursFurtherSetsAndMissingFieldsAreSteppedOverOrZero) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.prelit = true;
  desc.geometry.extraTexCoordSets = 2;
  ExpectVerticesOf(desc, Load(desc));
  desc = Skeleton({"a"});
  desc.geometry.normals.clear();
  desc.geometry.texCoords.clear();
  SkinnedModelData model = Load(desc);
  ExpectVerticesOf(desc, model);
  EXPECT_THAT(model.vertices[5].normal, ElementsAre(0, 0, 0));
  EXPECT_THAT(model.vertices[5].texCoord, ElementsAre(0, 0));
}

// The editor loads into its one model again and again: a load over a larger
// model's records leaves nothing of them, a missing array and a missing skin
// included.
TEST(SkinnedModelLoader, ALoadOverwritesEveryFieldOfTheRecordsBefore) {
  const Bytes demo = BuildCharacterDff(gen::DemoCharacter());
  gen::CharacterDesc bare = Skeleton({"a"});
  bare.geometry.normals.clear();
  bare.geometry.texCoords.clear();
  const SkinnedModelData fresh = Load(bare);
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(demo, nullptr, model).ok);
  ASSERT_GT(model.vertices.size(), fresh.vertices.size());
  ASSERT_TRUE(LoadCharacter(BuildCharacterDff(bare), nullptr, model).ok);
  ASSERT_EQ(model.vertices.size(), fresh.vertices.size());
  const size_t bytes = fresh.vertices.size() * sizeof(SkinnedVertex);
  EXPECT_EQ(std::memcmp(model.vertices.data(), fresh.vertices.data(), bytes), 0);

  gen::CharacterDesc unskinned = Skeleton({"a"});
  unskinned.writeSkin = false;
  ASSERT_TRUE(LoadCharacter(demo, nullptr, model).ok);
  ASSERT_FALSE(LoadCharacter(BuildCharacterDff(unskinned), nullptr, model).ok);
  ASSERT_EQ(model.vertices.size(), fresh.vertices.size());
  for (const SkinnedVertex& vertex : model.vertices) {
    EXPECT_THAT(vertex.boneIndices, ElementsAre(0, 0, 0, 0));
    EXPECT_THAT(vertex.blendWeights, ElementsAre(0, 0, 0));
  }
}

TEST(TextureRowLayout, KnowsPixelAndBlockFormats) {
  uint32_t rowSize = 0, rowCount = 0;
  ASSERT_TRUE(TextureRowLayout(23, 10, 3, rowSize, rowCount));
  EXPECT_EQ(rowSize, 20u);
  ASSERT_TRUE(TextureRowLayout(gen::kD3dFormatDxt1, 2, 6, rowSize, rowCount));
  EXPECT_EQ(rowSize, 8u);  // a partial block is a whole block
  EXPECT_EQ(rowCount, 2u);
  ASSERT_TRUE(TextureRowLayout(gen::kD3dFormatDxt5, 16, 16, rowSize, rowCount));
  EXPECT_EQ(rowSize, 64u);
  EXPECT_FALSE(TextureRowLayout(gen::kD3dFormatP8, 16, 16, rowSize, rowCount));
}

}  // namespace
}  // namespace zam
