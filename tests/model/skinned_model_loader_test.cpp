#include "model/skinned_model_loader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "math/matrix.h"

#include "demo_models.h"
#include "model/rw_chunk.h"
#include "model/texture_dictionary.h"
#include "model/rw_test_files.h"

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
    gen::BoneDesc bone;
    bone.name = names[b];
    bone.id = 10 + static_cast<int32_t>(b);
    bone.parentFrame = static_cast<int32_t>(b);
    desc.bones.push_back(bone);
    desc.skin.inverseBindMatrices.push_back(IdentityMatrix());
  }
  desc.geometry.materials = {gen::MaterialDesc{}};
  gen::AddBox(desc.geometry, &desc.skin, 0, {0, 0, 0}, {1, 1, 1}, 0);
  return desc;
}

SkinnedModelData Load(const gen::CharacterDesc& desc, const gen::DictionaryDesc* dictionary = nullptr) {
  Bytes dff = BuildCharacterDff(desc);
  Bytes txd = dictionary ? BuildTxd(*dictionary) : Bytes();
  SkinnedModelData model;
  ModelLoadResult result = LoadCharacter(dff, dictionary ? &txd : nullptr, model);
  EXPECT_TRUE(result.ok) << result.message;
  return model;
}

std::vector<float> Row(const Matrix4& m, int row) { return {m.m[row][0], m.m[row][1], m.m[row][2], m.m[row][3]}; }

TEST(SkinnedModelLoader, LoadsTheSmallCharacterCompletely) {
  gen::CharacterDesc desc = gen::SmallCharacter();
  gen::DictionaryDesc dictionary = gen::SmallCharacterTextures();
  SkinnedModelData model = Load(desc, &dictionary);

  EXPECT_EQ(model.boneCount, 3);
  EXPECT_THAT(model.boneNames, ElementsAre("root", "spine", "r hand"));
  EXPECT_THAT(model.boneIds, ElementsAre(0, 2, 24));
  EXPECT_THAT(model.boneNodeIndex, ElementsAre(0, 1, 2));
  EXPECT_THAT(model.boneParent, ElementsAre(-1, 0, 1));
  EXPECT_EQ(model.weaponBoneIndex, 2);
  EXPECT_TRUE(model.hasVertexBuffer);
  ASSERT_EQ(model.vertices.size(), desc.geometry.positions.size());
  for (size_t v = 0; v < model.vertices.size(); ++v) {
    const SkinnedVertex& vertex = model.vertices[v];
    EXPECT_EQ(vertex.position[2], desc.geometry.positions[v].z);
    EXPECT_EQ(vertex.normal[0], desc.geometry.normals[v].x);
    EXPECT_EQ(vertex.texCoord[1], desc.geometry.texCoords[v][1]);
    EXPECT_EQ(vertex.boneIndices[0], desc.skin.boneIndices[v][0]);
    EXPECT_EQ(vertex.blendWeights[0], 1.0f);
  }
  EXPECT_EQ(model.mesh.primitiveType, kTriangleList);
  ASSERT_EQ(model.mesh.materials.size(), 2u);
  EXPECT_EQ(model.mesh.materials[0].indices, desc.geometry.meshes[0].indices);
  EXPECT_EQ(model.mesh.materials[1].indices.size(), 36u);
  EXPECT_EQ(model.mesh.materials[1].textureIndex, -1);
  const TextureImage* body = model.mesh.TextureOf(model.mesh.materials[0]);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->name, "body");
  EXPECT_EQ(body->format, 21u);
  EXPECT_EQ(body->width, 4u);
  EXPECT_EQ(body->height, 4u);
  EXPECT_EQ(body->rowSize, 16u);
  EXPECT_EQ(body->rowCount, 4u);
  EXPECT_EQ(body->level0, dictionary.textures[1].level0);
}

TEST(SkinnedModelLoader, LoadsTheDemoCharacterWithItsWeaponBone) {
  gen::DictionaryDesc dictionary = gen::DemoCharacterTextures();
  SkinnedModelData model = Load(gen::DemoCharacter(), &dictionary);
  EXPECT_EQ(model.boneCount, 20);
  ASSERT_EQ(model.weaponBoneIndex, 13);
  EXPECT_EQ(model.boneNames[13], "r hand");
  const TextureImage* clothes = model.mesh.TextureOf(model.mesh.materials[1]);
  ASSERT_NE(clothes, nullptr);
  EXPECT_EQ(clothes->format, gen::kD3dFormatDxt1);
  EXPECT_EQ(clothes->rowSize, 16u * 8u);  // 16 blocks of 8 bytes
  EXPECT_EQ(clothes->rowCount, 16u);
  EXPECT_EQ(clothes->level0.size(), 2048u);  // level 0 only, not the smaller levels after it
  EXPECT_EQ(model.mesh.TextureOf(model.mesh.materials[2]), nullptr);
}

TEST(SkinnedModelLoader, NormalisedFrameNamesMarkTheWeaponBone) {
  for (const char* name : {"R Hand", "normal R Hand", "Ripped r hand", " r hand", "ROOT Normal FAT R HAND"}) {
    SkinnedModelData model = Load(Skeleton({"Root", name, "Other"}));
    EXPECT_EQ(model.boneNames[1], "r hand") << name;
    EXPECT_EQ(model.weaponBoneIndex, 1) << name;
  }
  SkinnedModelData model = Load(Skeleton({"Root", "fat r hand2"}));
  EXPECT_EQ(model.boneNames[1], "r hand2");
  EXPECT_EQ(model.weaponBoneIndex, -1);
}

TEST(SkinnedModelLoader, PrefixesAreRemovedOnceEachInTheirOrder) {
  EXPECT_EQ(NormaliseBoneName("normal root x"), "root x");
  EXPECT_EQ(NormaliseBoneName("root root x"), "root x");
  EXPECT_EQ(NormaliseBoneName("  R Hand"), " r hand");
  EXPECT_EQ(NormaliseBoneName("ripped fat x"), "fat x");
  EXPECT_EQ(NormaliseBoneName("Fat"), "fat");
  EXPECT_EQ(NormaliseBoneName(""), "");
}

TEST(SkinnedModelLoader, TheRootBoneIsNeverTheWeaponBoneAndTheLastMatchWins) {
  EXPECT_EQ(Load(Skeleton({"R Hand", "Spine"})).weaponBoneIndex, -1);
  EXPECT_EQ(Load(Skeleton({"Root", "R Hand", "Normal R Hand", "Spine"})).weaponBoneIndex, 2);
}

TEST(SkinnedModelLoader, ANewLoadForgetsThePreviousWeaponBone) {
  Bytes withHand = BuildCharacterDff(Skeleton({"Root", "R Hand"}));
  Bytes without = BuildCharacterDff(Skeleton({"Root", "L Hand"}));
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(withHand, nullptr, model).ok);
  ASSERT_EQ(model.weaponBoneIndex, 1);
  ASSERT_TRUE(LoadCharacter(without, nullptr, model).ok);
  EXPECT_EQ(model.weaponBoneIndex, -1);
}

TEST(SkinnedModelLoader, ALoadOverALargerModelKeepsNothingOfIt) {
  Bytes demo = BuildCharacterDff(gen::DemoCharacter());
  Bytes demoTxd = BuildTxd(gen::DemoCharacterTextures());
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(demo, &demoTxd, model).ok);
  Bytes small = BuildCharacterDff(gen::SmallCharacter());
  ASSERT_TRUE(LoadCharacter(small, nullptr, model).ok);
  EXPECT_EQ(model.boneCount, 3);
  EXPECT_EQ(model.boneNames.size(), 3u);
  EXPECT_EQ(model.vertices.size(), 72u);
  EXPECT_EQ(model.mesh.materials.size(), 2u);
  EXPECT_TRUE(model.mesh.textures.empty());
  // A failed load leaves nothing of the model before it either.
  ASSERT_FALSE(LoadCharacter(Bytes(), nullptr, model).ok);
  EXPECT_EQ(model.boneCount, 0);
  EXPECT_TRUE(model.vertices.empty());
  EXPECT_TRUE(model.mesh.materials.empty());
}

TEST(SkinnedModelLoader, ParentsAreFrameIndicesLessOne) {
  gen::CharacterDesc desc = Skeleton({"a", "b", "c", "d", "e"});
  desc.bones[3].parentFrame = 3;  // bone 2's frame
  desc.bones[4].parentFrame = 1;  // bone 0's frame
  SkinnedModelData model = Load(desc);
  EXPECT_THAT(model.boneParent, ElementsAre(-1, 0, 1, 2, 0));
}

TEST(SkinnedModelLoader, NodeIndicesPointIntoTheNodeTableAndTheLastMatchWins) {
  gen::CharacterDesc desc = Skeleton({"a", "b", "c", "d"});
  desc.nodeTable = {13, 10, 12, 11};
  SkinnedModelData model = Load(desc);
  EXPECT_THAT(model.boneIds, ElementsAre(13, 10, 12, 11));
  // Bone 0 keeps node 0 whatever its ID: the root bone's ID opens the table.
  EXPECT_THAT(model.boneNodeIndex, ElementsAre(0, 3, 2, 0));

  desc.nodeTable = {10, 11, 11, 13};
  model = Load(desc);
  EXPECT_THAT(model.boneNodeIndex, ElementsAre(0, 2, 0, 3));  // ID 12 is missing: node 0
}

TEST(SkinnedModelLoader, FrameRotationsAndPositionsAsStored) {
  gen::CharacterDesc desc = Skeleton({"a", "b"});
  for (int i = 0; i < 9; ++i) desc.bones[1].rotation[i] = static_cast<float>(i + 1);
  desc.bones[1].position = {4.5f, -5.0f, 6.25f};
  SkinnedModelData model = Load(desc);
  EXPECT_THAT(Row(model.boneRotation[1], 0), ElementsAre(1, 2, 3, 0));
  EXPECT_THAT(Row(model.boneRotation[1], 1), ElementsAre(4, 5, 6, 0));
  EXPECT_THAT(Row(model.boneRotation[1], 2), ElementsAre(7, 8, 9, 0));
  EXPECT_THAT(Row(model.boneRotation[1], 3), ElementsAre(0, 0, 0, 1));
  EXPECT_EQ(model.bonePosition[1].x, 4.5f);
  EXPECT_EQ(model.bonePosition[1].y, -5.0f);
  EXPECT_EQ(model.bonePosition[1].z, 6.25f);
}

TEST(SkinnedModelLoader, BinMeshFlagsChooseStripsOrLists) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.binMeshFlags = 1;
  EXPECT_EQ(Load(desc).mesh.primitiveType, kTriangleStrip);
  desc.geometry.binMeshFlags = 0;
  EXPECT_EQ(Load(desc).mesh.primitiveType, kTriangleList);
}

TEST(SkinnedModelLoader, EachMeshLandsInItsMaterialsSlotAndALaterOneReplaces) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.materials = {gen::MaterialDesc{}, gen::MaterialDesc{}, gen::MaterialDesc{}};
  desc.geometry.meshes = {{2, {0, 1, 2}}, {0, {2, 3, 0, 1}}, {2, {5, 6, 7}}};
  SkinnedModelData model = Load(desc);
  ASSERT_EQ(model.mesh.materials.size(), 3u);
  EXPECT_THAT(model.mesh.materials[0].indices, ElementsAre(2, 3, 0, 1));
  EXPECT_TRUE(model.mesh.materials[1].indices.empty());
  EXPECT_THAT(model.mesh.materials[2].indices, ElementsAre(5, 6, 7));
}

TEST(SkinnedModelLoader, TexturesAreLookedUpWithoutRegardToCase) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.materials = {{"BODY", {}}, {"Other", {}}, {"missing", {}}};
  gen::DictionaryDesc dictionary = gen::SmallCharacterTextures();
  SkinnedModelData model = Load(desc, &dictionary);
  const TextureImage* body = model.mesh.TextureOf(model.mesh.materials[0]);
  const TextureImage* other = model.mesh.TextureOf(model.mesh.materials[1]);
  ASSERT_NE(body, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(body->name, "body");
  EXPECT_EQ(other->name, "other");
  EXPECT_EQ(other->rowSize, 8u);
  EXPECT_EQ(other->rowCount, 1u);
  EXPECT_EQ(model.mesh.materials[2].textureIndex, -1);  // a name the dictionary lacks is no error
  EXPECT_TRUE(model.hasVertexBuffer);
}

TEST(SkinnedModelLoader, ATexturedFlagOfZeroKeepsAMaterialUntextured) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.materials = {{"body", 0}, {"body", {}}};
  gen::DictionaryDesc dictionary = gen::SmallCharacterTextures();
  SkinnedModelData model = Load(desc, &dictionary);
  EXPECT_EQ(model.mesh.materials[0].textureIndex, -1);
  EXPECT_NE(model.mesh.materials[1].textureIndex, -1);
}

TEST(SkinnedModelLoader, MaterialsNamingOneTextureShareItsImage) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.materials = {{"body", {}}, {"other", {}}, {"Body", {}}};
  gen::DictionaryDesc dictionary = gen::SmallCharacterTextures();
  SkinnedModelData model = Load(desc, &dictionary);
  EXPECT_EQ(model.mesh.textures.size(), 2u);
  EXPECT_EQ(model.mesh.materials[0].textureIndex, model.mesh.materials[2].textureIndex);
}

TEST(SkinnedModelLoader, WithoutADictionaryTheModelLoadsUntextured) {
  SkinnedModelData model = Load(gen::SmallCharacter());
  EXPECT_TRUE(model.hasVertexBuffer);
  ASSERT_EQ(model.mesh.materials.size(), 2u);
  for (const MaterialMesh& material : model.mesh.materials) {
    EXPECT_EQ(material.textureIndex, -1);
    EXPECT_FALSE(material.indices.empty());
  }
  EXPECT_TRUE(model.mesh.textures.empty());
}

TEST(SkinnedModelLoader, SkinTakesThreeWeightsAndFixesTheInverseBindColumn) {
  gen::CharacterDesc desc = Skeleton({"a", "b", "c"});
  desc.skin.weights[0] = {0.5f, 0.25f, 0.125f, 0.9f};
  desc.skin.boneIndices[0] = {2, 1, 0, 2};
  for (int i = 0; i < 16; ++i) desc.skin.inverseBindMatrices[1].m[i / 4][i % 4] = static_cast<float>(i + 1);
  SkinnedModelData model = Load(desc);
  const SkinnedVertex& v = model.vertices[0];
  EXPECT_THAT(v.blendWeights, ElementsAre(0.5f, 0.25f, 0.125f));
  EXPECT_THAT(v.boneIndices, ElementsAre(2, 1, 0, 2));
  EXPECT_THAT(Row(model.inverseBindMatrices[1], 0), ElementsAre(1, 2, 3, 0));
  EXPECT_THAT(Row(model.inverseBindMatrices[1], 1), ElementsAre(5, 6, 7, 0));
  EXPECT_THAT(Row(model.inverseBindMatrices[1], 2), ElementsAre(9, 10, 11, 0));
  EXPECT_THAT(Row(model.inverseBindMatrices[1], 3), ElementsAre(13, 14, 15, 1));
  // The generated files carry 1, 1, 1, 0 in that column.
  SkinnedModelData small = Load(gen::SmallCharacter());
  EXPECT_EQ(Row(small.inverseBindMatrices[2], 0)[3], 0.0f);
  EXPECT_EQ(Row(small.inverseBindMatrices[2], 3)[3], 1.0f);
  EXPECT_EQ(Row(small.inverseBindMatrices[2], 3)[0], 0.5f);  // the bone's bind translation, negated
}

TEST(SkinnedModelLoader, ColoursAndFurtherCoordinateSetsAreSteppedOver) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.prelit = true;
  desc.geometry.extraTexCoordSets = 2;
  SkinnedModelData model = Load(desc);
  ASSERT_EQ(model.vertices.size(), 24u);
  for (size_t v = 0; v < 24; ++v) {
    EXPECT_EQ(model.vertices[v].position[0], desc.geometry.positions[v].x) << v;
    EXPECT_EQ(model.vertices[v].normal[2], desc.geometry.normals[v].z) << v;
    EXPECT_EQ(model.vertices[v].texCoord[0], desc.geometry.texCoords[v][0]) << v;  // the first set
  }
}

TEST(SkinnedModelLoader, FieldsTheFileLacksStayZero) {
  gen::CharacterDesc desc = Skeleton({"a"});
  desc.geometry.normals.clear();
  desc.geometry.texCoords.clear();
  SkinnedModelData model = Load(desc);
  ASSERT_EQ(model.vertices.size(), 24u);
  EXPECT_EQ(model.vertices[5].position[1], desc.geometry.positions[5].y);
  EXPECT_THAT(model.vertices[5].normal, ElementsAre(0, 0, 0));
  EXPECT_THAT(model.vertices[5].texCoord, ElementsAre(0, 0));
}

TEST(TextureRowLayout, KnowsPixelAndBlockFormats) {
  uint32_t rowSize = 0, rowCount = 0;
  ASSERT_TRUE(TextureRowLayout(21, 64, 32, rowSize, rowCount));
  EXPECT_EQ(rowSize, 256u);
  EXPECT_EQ(rowCount, 32u);
  ASSERT_TRUE(TextureRowLayout(23, 10, 3, rowSize, rowCount));
  EXPECT_EQ(rowSize, 20u);
  ASSERT_TRUE(TextureRowLayout(gen::kD3dFormatDxt1, 2, 6, rowSize, rowCount));
  EXPECT_EQ(rowSize, 8u);  // a partial block is a whole block
  EXPECT_EQ(rowCount, 2u);
  ASSERT_TRUE(TextureRowLayout(gen::kD3dFormatDxt5, 16, 16, rowSize, rowCount));
  EXPECT_EQ(rowSize, 64u);
  EXPECT_FALSE(TextureRowLayout(gen::kD3dFormatP8, 16, 16, rowSize, rowCount));
  EXPECT_FALSE(TextureRowLayout(0, 16, 16, rowSize, rowCount));
}

}  // namespace
}  // namespace zam
