// Damaged, truncated and hostile character files: each load stops with its
// one message, keeps what it built before, and stays inside its input.

#include <gtest/gtest.h>

#include "base/messages.h"
#include "demo_models.h"
#include "model/rw_test_files.h"

namespace zam {
namespace {

using test::BodyOffset;
using test::Bytes;
using test::LoadCharacter;
using test::PatchU16;
using test::PatchU32;
using test::SectionOffset;

constexpr uint32_t kUnusedType = 0x99;  // a section type no loader searches for

Bytes SmallDff() { return gen::BuildCharacterDff(gen::SmallCharacter()); }
Bytes SmallTxd() { return gen::BuildTxd(gen::SmallCharacterTextures()); }

std::string Failure(const Bytes& dff, const Bytes* txd = nullptr) {
  SkinnedModelData model;
  ModelLoadResult result = LoadCharacter(dff, txd, model);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(model.hasVertexBuffer);
  return result.message;
}

// Hides the `nth` section of `type` from every search by changing its type.
Bytes Hide(Bytes bytes, uint32_t type, int nth = 0) {
  PatchU32(bytes, SectionOffset(bytes, type, nth), kUnusedType);
  return bytes;
}

// The DFF with its texture dictionary, for the cases that need one.
std::string FailureWithTextures(const Bytes& dff, const gen::DictionaryDesc& dictionary) {
  Bytes txd = gen::BuildTxd(dictionary);
  return Failure(dff, &txd);
}

TEST(SkinnedModelDamaged, MissingSectionsOfTheFrameList) {
  EXPECT_EQ(Failure(Bytes()), msg::kRwClumpNotFound);
  EXPECT_EQ(Failure(SmallTxd()), "RW Section Clump not found.");
  EXPECT_EQ(Failure(Hide(SmallDff(), kRwFrameList)), msg::kRwFrameListNotFound);
  Bytes dff = SmallDff();
  dff.resize(SectionOffset(dff, kRwExtension));
  EXPECT_EQ(Failure(dff), msg::kRwFrameExtensionNotFound);
  EXPECT_EQ(Failure(Hide(SmallDff(), kRwHAnimPlg)), "RW Section Clump\\FrameList\\Extension\\HAnimPLG not found.");
  EXPECT_EQ(Failure(Hide(SmallDff(), kRwHAnimPlg, 2)), msg::kRwHAnimNotFound);
  gen::CharacterDesc unnamed = gen::SmallCharacter();
  unnamed.writeFrameNames = false;
  EXPECT_EQ(Failure(gen::BuildCharacterDff(unnamed)), msg::kRwFrameNameNotFound);
  // The FrameList's Struct: pass 1 steps over it, pass 2 needs it.
  dff = SmallDff();
  PatchU32(dff, BodyOffset(dff, kRwFrameList), kUnusedType);
  EXPECT_EQ(Failure(dff), "RW Section Clump\\FrameList\\Struct not found.");
}

TEST(SkinnedModelDamaged, MissingSectionsOfTheGeometry) {
  EXPECT_EQ(Failure(Hide(SmallDff(), kRwGeometryList)), msg::kRwGeometryListNotFound);
  EXPECT_EQ(Failure(Hide(SmallDff(), kRwGeometry)), msg::kRwGeometryNotFound);
  Bytes dff = SmallDff();
  PatchU32(dff, BodyOffset(dff, kRwGeometry), kUnusedType);
  EXPECT_EQ(Failure(dff), msg::kRwGeometryStructNotFound);
  EXPECT_EQ(Failure(Hide(SmallDff(), kRwMaterialList)), msg::kRwMaterialListNotFound);
  dff = SmallDff();
  PatchU32(dff, BodyOffset(dff, kRwMaterialList), kUnusedType);
  EXPECT_EQ(Failure(dff), msg::kRwMaterialListStructNotFound);
  dff = SmallDff();
  dff.resize(SectionOffset(dff, kRwBinMeshPlg) - sizeof(RwChunkHeader));  // up to the Geometry's Extension
  EXPECT_EQ(Failure(dff), "RW Section Clump\\Geometry List\\Geometry\\Extension not found.");
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.geometry.writeBinMesh = false;
  EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), msg::kRwBinMeshNotFound);
}

TEST(SkinnedModelDamaged, MissingSectionsOfMaterialsAndTheDictionary) {
  gen::DictionaryDesc textures = gen::SmallCharacterTextures();
  EXPECT_EQ(FailureWithTextures(Hide(SmallDff(), kRwMaterial, 1), textures), msg::kRwMaterialNotFound);
  Bytes dff = SmallDff();
  PatchU32(dff, BodyOffset(dff, kRwMaterial), kUnusedType);
  EXPECT_EQ(FailureWithTextures(dff, textures), msg::kRwMaterialStructNotFound);
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.geometry.materials = {{"", 1}};  // textured, but without a Texture section
  desc.geometry.meshes.resize(1);
  EXPECT_EQ(FailureWithTextures(gen::BuildCharacterDff(desc), textures), msg::kRwTextureNotFound);
  EXPECT_EQ(FailureWithTextures(Hide(Hide(SmallDff(), kRwString), kRwString), textures),
            msg::kRwTextureStringNotFound);

  Bytes notADictionary = SmallDff();
  EXPECT_EQ(Failure(SmallDff(), &notADictionary), msg::kRwTextureDictionaryNotFound);
  Bytes txd = SmallTxd();
  PatchU32(txd, BodyOffset(txd, kRwTextureDictionary), kUnusedType);
  EXPECT_EQ(Failure(SmallDff(), &txd), msg::kRwTextureDictionaryStructNotFound);
  txd = SmallTxd();
  PatchU32(txd, BodyOffset(txd, kRwTextureNative), kUnusedType);
  EXPECT_EQ(Failure(SmallDff(), &txd), msg::kRwTextureNativeStructNotFound);
}

TEST(SkinnedModelDamaged, AnotherLibraryVersionIsRefused) {
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.stamp = 0x1003FFFF;
  EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), "Unknown RW Version ID.");
}

TEST(SkinnedModelDamaged, AnotherVersionInTheDictionaryEndsALookupSilently) {
  gen::DictionaryDesc textures = gen::SmallCharacterTextures();
  textures.stamp = 0x0800FFFF;
  Bytes txd = gen::BuildTxd(textures);
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.geometry.materials = {{"other", {}}, {"body", {}}};
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(gen::BuildCharacterDff(desc), &txd, model).ok);
  // The first texture is found without stepping over anything; reaching
  // the second means stepping over the first, which the stamp forbids.
  EXPECT_NE(model.mesh.materials[0].textureIndex, -1);
  EXPECT_EQ(model.mesh.materials[1].textureIndex, -1);
}

TEST(SkinnedModelDamaged, APlatformOtherThanDirect3D9EndsTheLoad) {
  gen::DictionaryDesc textures = gen::SmallCharacterTextures();
  textures.textures[0].platform = 8;  // met before the texture looked for
  EXPECT_EQ(FailureWithTextures(SmallDff(), textures), msg::kRwUnknownTexturePlatform);
}

TEST(SkinnedModelDamaged, WhatWasBuiltBeforeAFailureStays) {
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.writeSkin = false;
  Bytes dff = gen::BuildCharacterDff(desc);
  Bytes txd = SmallTxd();
  SkinnedModelData model;
  ModelLoadResult result = LoadCharacter(dff, &txd, model);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, msg::kRwSkinNotFound);
  EXPECT_EQ(model.boneCount, 3);
  EXPECT_EQ(model.weaponBoneIndex, 2);
  EXPECT_EQ(model.vertices.size(), 72u);
  ASSERT_EQ(model.mesh.materials.size(), 2u);
  EXPECT_EQ(model.mesh.materials[0].indices.size(), 72u);
  EXPECT_NE(model.mesh.TextureOf(model.mesh.materials[0]), nullptr);
  EXPECT_FALSE(model.hasVertexBuffer);
}

TEST(SkinnedModelDamaged, BoneCountsOutsideTheHAnimTable) {
  for (int32_t nodes : {0, -5, 4, 1000000, INT32_MAX}) {
    gen::CharacterDesc desc = gen::SmallCharacter();
    desc.nodeCount = nodes;
    EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), "RW Section Clump\\FrameList\\Extension\\HAnimPLG is damaged.")
        << nodes;
  }
}

TEST(SkinnedModelDamaged, FrameListsWithFewerFramesThanBonesOrForwardParents) {
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.frameCount = 3;  // three bones need four frames
  EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), "RW Section Clump\\FrameList\\Struct is damaged.");
  for (int32_t parent : {-1, 2, 3, 99}) {
    desc = gen::SmallCharacter();
    desc.bones[1].parentFrame = parent;  // bone 1 is frame 2: its parent must be frame 0 or 1
    EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), msg::kRwFrameListStructDamaged) << parent;
  }
}

TEST(SkinnedModelDamaged, FrameNamesMustFitTwentyThreeCharacters) {
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.bones[1].name = std::string(23, 'A');
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(gen::BuildCharacterDff(desc), nullptr, model).ok);
  EXPECT_EQ(model.boneNames[1], std::string(23, 'a'));
  desc.bones[1].name = std::string(24, 'A');
  EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), "RW Section Clump\\FrameList\\Extension\\Frame is too long.");
  // Zero bytes after the name are no part of it.
  desc.bones[1].name = std::string("spine") + std::string(30, '\0');
  ASSERT_TRUE(LoadCharacter(gen::BuildCharacterDff(desc), nullptr, model).ok);
  EXPECT_EQ(model.boneNames[1], "spine");
}

TEST(SkinnedModelDamaged, GeometryCountsAndFlagsThatCannotHold) {
  const char* damaged = "RW Section Clump\\Geometry List\\Geometry\\Struct is damaged.";
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.geometry.texCoords.clear();
  desc.geometry.flagsOverride = 0x80 | 0x10 | 0x02;  // several coordinate sets, not textured
  EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), damaged);

  Bytes dff = SmallDff();
  size_t geometry = BodyOffset(dff, kRwGeometry) + sizeof(RwChunkHeader);
  PatchU16(dff, geometry, 0x80 | 0x04 | 0x10 | 0x02);
  dff[geometry + 2] = 0;  // and no set at all
  EXPECT_EQ(Failure(dff), damaged);
  for (uint32_t count : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 73u}) {
    dff = SmallDff();
    PatchU32(dff, geometry + 8, count);  // vertices
    EXPECT_EQ(Failure(dff), msg::kRwGeometryStructDamaged) << count;
    dff = SmallDff();
    PatchU32(dff, geometry + 4, count);  // triangles
    EXPECT_EQ(Failure(dff), msg::kRwGeometryStructDamaged) << count;
  }
}

TEST(SkinnedModelDamaged, MaterialCountsThatCannotHold) {
  for (uint32_t count : {0xFFFFFFFFu, 0x7FFFFFFFu, 3u}) {
    Bytes dff = SmallDff();
    PatchU32(dff, BodyOffset(dff, kRwMaterialList) + 12, count);
    EXPECT_EQ(Failure(dff), "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Struct is damaged.") << count;
  }
}

TEST(SkinnedModelDamaged, MeshesThatReferToWhatDoesNotExist) {
  const char* damaged = "RW Section Clump\\Geometry List\\Geometry\\Extension\\BinMeshPLG is damaged.";
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.geometry.meshes[1].material = 2;  // two materials
  EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), damaged);
  desc = gen::SmallCharacter();
  desc.geometry.meshes[0].indices[5] = 72;  // 72 vertices
  EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), damaged);
  for (uint32_t count : {0xFFFFFFFFu, 0x40000000u, 73u}) {
    Bytes dff = SmallDff();
    PatchU32(dff, BodyOffset(dff, kRwBinMeshPlg) + 4, count);  // meshes
    EXPECT_EQ(Failure(dff), msg::kRwBinMeshDamaged) << count;
    dff = SmallDff();
    PatchU32(dff, BodyOffset(dff, kRwBinMeshPlg) + 12, count);  // indices of the first mesh
    EXPECT_EQ(Failure(dff), msg::kRwBinMeshDamaged) << count;
  }
}

TEST(SkinnedModelDamaged, SkinsThatReferToMissingBonesOrRunShort) {
  const char* damaged = "RW Section Clump\\Geometry List\\Geometry\\Extension\\SkinPLG is damaged.";
  gen::CharacterDesc desc = gen::SmallCharacter();
  desc.skin.boneIndices[10][3] = 3;  // three bones
  EXPECT_EQ(Failure(gen::BuildCharacterDff(desc)), damaged);
  desc = gen::SmallCharacter();
  desc.skin.inverseBindMatrices.pop_back();  // the section ends before the third matrix
  Bytes dff = gen::BuildCharacterDff(desc);
  EXPECT_EQ(Failure(dff), msg::kRwSkinDamaged);
}

TEST(SkinnedModelDamaged, TextureNamesMustFitTheirFields) {
  gen::CharacterDesc desc = gen::SmallCharacter();
  gen::DictionaryDesc textures = gen::SmallCharacterTextures();
  desc.geometry.materials[0].textureName = std::string(31, 'x');
  textures.textures[1].name = std::string(31, 'X');
  Bytes txd = gen::BuildTxd(textures);
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(gen::BuildCharacterDff(desc), &txd, model).ok);
  EXPECT_NE(model.mesh.TextureOf(model.mesh.materials[0]), nullptr);

  desc.geometry.materials[0].textureName = std::string(32, 'x');
  EXPECT_EQ(FailureWithTextures(gen::BuildCharacterDff(desc), textures),
            "RW Section Clump\\Geometry List\\Geometry\\MaterialList\\Material\\Texture\\String is too long.");
  textures.textures[0].name = std::string(32, 'y');
  EXPECT_EQ(FailureWithTextures(SmallDff(), textures), "RW Section TextureDictionary\\TextureNative\\Struct is damaged.");
}

TEST(SkinnedModelDamaged, TextureFormatsWhoseSizeIsUnknown) {
  for (uint32_t format : {0u, 41u, 0x12345678u}) {
    gen::DictionaryDesc textures = gen::SmallCharacterTextures();
    textures.textures[1].format = format;
    EXPECT_EQ(FailureWithTextures(SmallDff(), textures), "Unknown Texture Format.") << format;
  }
  gen::DictionaryDesc paletted = gen::SmallCharacterTextures();
  paletted.textures[1].rasterFormat = 0x2500;
  paletted.textures[1].palette.assign(1024, 0x55);
  EXPECT_EQ(FailureWithTextures(SmallDff(), paletted), msg::kRwUnknownTextureFormat);
}

TEST(SkinnedModelDamaged, LevelSizesThatDisagreeWithTheImageOrTheSection) {
  for (uint32_t size : {0u, 63u, 200u, 0xFFFFFFFFu}) {  // a 4x4 A8R8G8B8 image has 64 bytes
    gen::DictionaryDesc textures = gen::SmallCharacterTextures();
    textures.textures[1].levelSizeOverride = size;
    EXPECT_EQ(FailureWithTextures(SmallDff(), textures), msg::kRwTextureNativeStructDamaged) << size;
  }
  gen::DictionaryDesc textures = gen::SmallCharacterTextures();
  textures.textures[1].width = 0;
  EXPECT_EQ(FailureWithTextures(SmallDff(), textures), msg::kRwTextureNativeStructDamaged);
  // More data than the image needs: the image takes what it needs.
  textures = gen::SmallCharacterTextures();
  textures.textures[1].level0.resize(100, 0xEE);
  Bytes txd = gen::BuildTxd(textures);
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(SmallDff(), &txd, model).ok);
  EXPECT_EQ(model.mesh.TextureOf(model.mesh.materials[0])->level0.size(), 64u);
}

TEST(SkinnedModelDamaged, EveryTruncationStopsSafely) {
  Bytes full = SmallDff();
  Bytes txd = SmallTxd();
  // The skin's last 12 bytes and the Atomic after it are never read.
  size_t unread = SectionOffset(full, kRwAtomic) - 12;
  for (size_t length = 0; length < full.size(); ++length) {
    // A copy of exactly `length` bytes, so the sanitizer sees any overread.
    Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
    SkinnedModelData model;
    ModelLoadResult result = LoadCharacter(cut, &txd, model);
    if (length < unread) {
      EXPECT_FALSE(result.ok) << length;
      EXPECT_FALSE(result.message.empty()) << length;
    }
  }
  for (size_t length = 0; length < txd.size(); ++length) {
    Bytes cut(txd.begin(), txd.begin() + static_cast<std::ptrdiff_t>(length));
    SkinnedModelData model;
    ModelLoadResult result = LoadCharacter(full, &cut, model);
    EXPECT_EQ(result.ok, model.hasVertexBuffer) << length;
    EXPECT_EQ(model.boneCount, 3) << length;
  }
}

TEST(SkinnedModelDamaged, EverySingleByteChangeStopsSafely) {
  Bytes full = SmallDff();
  Bytes txd = SmallTxd();
  for (size_t at = 0; at < full.size(); ++at) {
    for (uint8_t value : {uint8_t{0x00}, uint8_t{0x80}, uint8_t{0xFF}}) {
      Bytes changed = full;
      changed[at] = value;
      SkinnedModelData model;
      ModelLoadResult result = LoadCharacter(changed, &txd, model);
      EXPECT_EQ(result.ok, model.hasVertexBuffer);
      EXPECT_EQ(result.ok, result.message.empty());
    }
  }
}

}  // namespace
}  // namespace zam
