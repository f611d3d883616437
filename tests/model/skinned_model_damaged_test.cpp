// Damaged, truncated and hostile character files: each load stops with its
// one message, keeps what it built before, and stays inside its input.

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "base/messages.h"
#include "demo_models.h"
#include "model/rw_test_files.h"

namespace zam {
namespace {

using gen::BuildCharacterDff;
using test::BodyOffset;
using test::Bytes;
using test::LoadCharacter;
using test::PatchU16;
using test::PatchU32;
using test::SectionOffset;

constexpr uint32_t kUnusedType = 0x99;  // a section type no loader searches for

Bytes SmallDff() { return BuildCharacterDff(gen::SmallCharacter()); }
Bytes SmallTxd() { return gen::BuildTxd(gen::SmallCharacterTextures()); }

// The small character with one change to its description.
Bytes Small(const std::function<void(gen::CharacterDesc&)>& change) {
  gen::CharacterDesc desc = gen::SmallCharacter();
  change(desc);
  return BuildCharacterDff(desc);
}
Bytes SmallTextures(const std::function<void(gen::DictionaryDesc&)>& change) {
  gen::DictionaryDesc desc = gen::SmallCharacterTextures();
  change(desc);
  return gen::BuildTxd(desc);
}
// The bytes with the 32-bit (or 16-bit) field at `offset` past the start of
// the `nth` section of `type` (or its body) set to `value`.
Bytes Patched(Bytes bytes, uint32_t type, size_t offset, uint32_t value, int nth = 0) {
  PatchU32(bytes, SectionOffset(bytes, type, nth) + offset, value);
  return bytes;
}
Bytes Hide(Bytes bytes, uint32_t type, int nth = 0) { return Patched(std::move(bytes), type, 0, kUnusedType, nth); }
Bytes HideStruct(Bytes bytes, uint32_t type) { return Patched(std::move(bytes), type, 12, kUnusedType); }
Bytes CutAt(Bytes bytes, size_t length) {
  bytes.resize(length);
  return bytes;
}

Message Failure(const Bytes& dff, const Bytes* txd = nullptr) {
  SkinnedModelData model;
  ModelLoadResult result = LoadCharacter(dff, txd, model);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(model.hasVertexBuffer);
  return result.message;
}

struct Damage {
  Bytes dff;
  std::optional<Bytes> txd;  // none: loaded without a dictionary
  Message message;
};

TEST(SkinnedModelDamaged, EveryMissingOrDamagedSectionGivesItsMessage) {
  const Bytes dff = SmallDff(), txd = SmallTxd();
  const size_t geometry = BodyOffset(dff, kRwGeometry) + sizeof(RwChunkHeader) - SectionOffset(dff, kRwGeometry);
  Bytes nameFirst = Small([](auto& d) { d.frameNameFirst = true; });
  Bytes noSets = dff;  // several coordinate sets, and no set at all
  PatchU16(noSets, SectionOffset(dff, kRwGeometry) + geometry, 0x96);
  noSets[SectionOffset(dff, kRwGeometry) + geometry + 2] = 0;
  const Damage cases[] = {
      {Bytes(), {}, Message::RwClumpNotFound},
      {SmallTxd(), {}, Message::RwClumpNotFound},
      {Hide(dff, kRwFrameList), {}, Message::RwFrameListNotFound},
      {HideStruct(dff, kRwFrameList), {}, Message::RwFrameListStructNotFound},
      {CutAt(dff, SectionOffset(dff, kRwExtension)), {}, Message::RwFrameExtensionNotFound},
      {Hide(dff, kRwHAnimPlg), {}, Message::RwHAnimNotFound},
      {Hide(dff, kRwHAnimPlg, 2), {}, Message::RwHAnimNotFound},
      {Small([](auto& d) { d.writeFrameNames = false; }), {}, Message::RwFrameNameNotFound},
      // Bone 1's Extension ends after its first plugin section: the other
      // follows as the FrameList's next section, outside the Extension.
      {Patched(dff, kRwExtension, 4, 24, 2), {}, Message::RwFrameNameNotFound},
      {Patched(nameFirst, kRwExtension, 4, 12 + 5, 2), {}, Message::RwHAnimNotFound},
      {Hide(dff, kRwGeometryList), {}, Message::RwGeometryListNotFound},
      {Hide(dff, kRwGeometry), {}, Message::RwGeometryNotFound},
      {HideStruct(dff, kRwGeometry), {}, Message::RwGeometryStructNotFound},
      {Hide(dff, kRwMaterialList), {}, Message::RwMaterialListNotFound},
      {HideStruct(dff, kRwMaterialList), {}, Message::RwMaterialListStructNotFound},
      {CutAt(dff, SectionOffset(dff, kRwBinMeshPlg) - sizeof(RwChunkHeader)), {}, Message::RwGeometryExtensionNotFound},
      {Small([](auto& d) { d.geometry.writeBinMesh = false; }), {}, Message::RwBinMeshNotFound},
      {Small([](auto& d) { d.writeSkin = false; }), {}, Message::RwSkinNotFound},
      {Hide(dff, kRwMaterial, 1), SmallTxd(), Message::RwMaterialNotFound},
      {HideStruct(dff, kRwMaterial), SmallTxd(), Message::RwMaterialStructNotFound},
      {Small([](auto& d) { d.geometry.materials = {{"", 1}}, d.geometry.meshes.resize(1); }), SmallTxd(),
       Message::RwTextureNotFound},
      {Hide(Hide(dff, kRwString), kRwString), SmallTxd(), Message::RwTextureStringNotFound},
      {SmallDff(), SmallDff(), Message::RwTextureDictionaryNotFound},
      {SmallDff(), HideStruct(txd, kRwTextureDictionary), Message::RwTextureDictionaryStructNotFound},
      {SmallDff(), HideStruct(txd, kRwTextureNative), Message::RwTextureNativeStructNotFound},
      {Small([](auto& d) { d.stamp = 0x0C02FFFF; }), {}, Message::RwUnknownVersion},  // 3.3.0.2
      {SmallDff(), SmallTextures([](auto& t) { t.textures[0].platform = 5; }), Message::RwUnknownTexturePlatform},
      // Counts and references the file cannot hold.
      {Small([](auto& d) { d.frameCount = 3; }), {}, Message::RwFrameListStructDamaged},
      {Small([](auto& d) { d.bones[1].name = std::string(24, 'A'); }), {}, Message::RwFrameNameTooLong},
      {Small([](auto& d) { d.geometry.texCoords.clear(), d.geometry.flagsOverride = 0x92; }), {},
       Message::RwGeometryStructDamaged},
      {noSets, {}, Message::RwGeometryStructDamaged},
      {Small([](auto& d) { d.geometry.meshes[1].material = 2; }), {}, Message::RwBinMeshDamaged},
      {Small([](auto& d) { d.geometry.meshes[0].indices[5] = 72; }), {}, Message::RwBinMeshDamaged},
      {Small([](auto& d) { d.skin.boneIndices[10][3] = 3; }), {}, Message::RwSkinDamaged},
      {Small([](auto& d) { d.skin.inverseBindMatrices.pop_back(); }), {}, Message::RwSkinDamaged},
      {Small([](auto& d) { d.geometry.materials[0].textureName = std::string(32, 'x'); }), SmallTxd(),
       Message::RwTextureStringTooLong},
      {SmallDff(), SmallTextures([](auto& t) { t.textures[0].name = std::string(32, 'y'); }),
       Message::RwTextureNativeStructDamaged},
      {SmallDff(), SmallTextures([](auto& t) { t.textures[1].width = 0; }), Message::RwTextureNativeStructDamaged},
      {SmallDff(),  // a palette that ends inside the level
       SmallTextures([](auto& t) { t.textures[1].rasterFormat = 0x2500, t.textures[1].palette.resize(1000); }),
       Message::RwTextureNativeStructDamaged},
  };
  for (const Damage& c : cases) EXPECT_EQ(Failure(c.dff, c.txd ? &*c.txd : nullptr), c.message);
  EXPECT_STREQ(MessageText(Failure(Hide(dff, kRwHAnimPlg))),
               "RW Section Clump\\FrameList\\Extension\\HAnimPLG not found.");
}

TEST(SkinnedModelDamaged, CountsAndSizesOutOfRangeAreDamage) {
  const Bytes dff = SmallDff();
  const size_t geometry = BodyOffset(dff, kRwGeometry) + sizeof(RwChunkHeader) - SectionOffset(dff, kRwGeometry);
  for (int32_t nodes : {0, -5, 4, 1000000, INT32_MAX})
    EXPECT_EQ(Failure(Small([&](auto& d) { d.nodeCount = nodes; })), Message::RwHAnimDamaged) << nodes;
  for (int32_t parent : {-1, 2, 3, 99})  // bone 1 is frame 2: its parent must be frame 0 or 1
    EXPECT_EQ(Failure(Small([&](auto& d) { d.bones[1].parentFrame = parent; })), Message::RwFrameListStructDamaged);
  for (uint32_t count : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 73u}) {
    EXPECT_EQ(Failure(Patched(dff, kRwGeometry, geometry + 8, count)), Message::RwGeometryStructDamaged);  // vertices
    EXPECT_EQ(Failure(Patched(dff, kRwGeometry, geometry + 4, count)), Message::RwGeometryStructDamaged);  // triangles
  }
  for (uint32_t count : {0xFFFFFFFFu, 0x7FFFFFFFu, 3u})
    EXPECT_EQ(Failure(Patched(dff, kRwMaterialList, 24, count)), Message::RwMaterialListStructDamaged) << count;
  for (uint32_t count : {0xFFFFFFFFu, 0x40000000u, 73u}) {
    EXPECT_EQ(Failure(Patched(dff, kRwBinMeshPlg, 16, count)), Message::RwBinMeshDamaged) << count;  // meshes
    EXPECT_EQ(Failure(Patched(dff, kRwBinMeshPlg, 24, count)), Message::RwBinMeshDamaged) << count;  // its indices
  }
  for (uint32_t size : {0u, 63u, 200u, 0xFFFFFFFFu}) {  // a 4x4 A8R8G8B8 image has 64 bytes
    Bytes txd = SmallTextures([&](auto& t) { t.textures[1].levelSizeOverride = size; });
    EXPECT_EQ(Failure(dff, &txd), Message::RwTextureNativeStructDamaged) << size;
  }
}

TEST(SkinnedModelDamaged, NamesAndLevelsAtTheirLimitsStillLoad) {
  gen::CharacterDesc desc = gen::SmallCharacter();
  gen::DictionaryDesc textures = gen::SmallCharacterTextures();
  desc.bones[1].name = std::string(23, 'A');
  desc.bones[2].name = std::string("spine") + std::string(30, '\0');  // zero bytes are no part of it
  desc.geometry.materials[0].textureName = std::string(31, 'x');
  textures.textures[1].name = std::string(31, 'X');
  textures.textures[1].level0.resize(100, 0xEE);  // the image takes what it needs
  Bytes txd = gen::BuildTxd(textures);
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(BuildCharacterDff(desc), &txd, model).ok);
  EXPECT_EQ(model.boneNames[1], std::string(23, 'a'));
  EXPECT_EQ(model.boneNames[2], "spine");
  EXPECT_EQ(model.mesh.TextureOf(model.mesh.materials[0])->level0.size(), 64u);
}

TEST(SkinnedModelDamaged, AnotherVersionInTheDictionaryEndsALookupSilently) {
  Bytes txd = SmallTextures([](auto& t) { t.stamp = 0x0800FFFF; });
  SkinnedModelData model;
  ASSERT_TRUE(LoadCharacter(Small([](auto& d) { d.geometry.materials = {{"other", {}}, {"body", {}}}; }), &txd, model).ok);
  // The first texture is found without stepping over anything; reaching
  // the second means stepping over the first, which the stamp forbids.
  EXPECT_NE(model.mesh.materials[0].textureIndex, -1);
  EXPECT_EQ(model.mesh.materials[1].textureIndex, -1);
}

TEST(SkinnedModelDamaged, WhatWasBuiltBeforeAFailureStays) {
  Bytes txd = SmallTxd();
  SkinnedModelData model;
  ModelLoadResult result = LoadCharacter(Small([](auto& d) { d.writeSkin = false; }), &txd, model);
  EXPECT_EQ(result.message, Message::RwSkinNotFound);
  EXPECT_EQ(model.boneCount, 3);
  EXPECT_EQ(model.weaponBoneIndex, 2);
  EXPECT_EQ(model.vertices.size(), 72u);
  EXPECT_EQ(model.mesh.materials[0].indices.size(), 72u);
  EXPECT_NE(model.mesh.TextureOf(model.mesh.materials[0]), nullptr);
  EXPECT_FALSE(model.hasVertexBuffer);
}

TEST(SkinnedModelDamaged, EveryTruncationStopsSafely) {
  Bytes full = SmallDff();
  Bytes txd = SmallTxd();
  // The skin's last 12 bytes and the Atomic after it are never read.
  size_t unread = SectionOffset(full, kRwAtomic) - 12;
  for (size_t length = 0; length < full.size(); ++length) {
    // A copy of exactly `length` bytes, so the sanitizer sees any overread.
    SkinnedModelData model;
    ModelLoadResult result = LoadCharacter(CutAt(full, length), &txd, model);
    if (length < unread) { EXPECT_TRUE(!result.ok && result.message != Message::None) << length; }
  }
  for (size_t length = 0; length < txd.size(); ++length) {
    SkinnedModelData model;
    Bytes cut = CutAt(txd, length);
    ModelLoadResult result = LoadCharacter(full, &cut, model);
    EXPECT_EQ(result.ok, model.hasVertexBuffer) << length;
    EXPECT_EQ(model.boneCount, 3) << length;
  }
}

}  // namespace
}  // namespace zam
