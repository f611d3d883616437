#include "model/weapon_model_loader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/messages.h"
#include "demo_models.h"
#include "model/rw_test_files.h"

namespace zam {
namespace {

using test::BodyOffset;
using test::Bytes;
using test::LoadWeapon;
using test::PatchU32;
using test::SectionOffset;

// A geometry of `boxes` boxes, so each geometry has its own vertex count.
gen::GeometryDesc Boxes(int boxes, const std::string& texture = "") {
  gen::GeometryDesc g;
  g.materials = {gen::MaterialDesc{texture, {}}};
  for (int b = 0; b < boxes; ++b) {
    float x = static_cast<float>(b);
    gen::AddBox(g, nullptr, 0, {x, 0, 0}, {x + 0.5f, 1, 1}, 0);
  }
  return g;
}

gen::WeaponDesc Weapon(std::vector<gen::AtomicDesc> atomics, int geometries) {
  gen::WeaponDesc desc;
  desc.frameCount = 3;
  for (int g = 0; g < geometries; ++g) desc.geometries.push_back(Boxes(g + 1));
  desc.atomics = std::move(atomics);
  return desc;
}

ModelLoadResult Load(const gen::WeaponDesc& desc, WeaponModelData& model, const Bytes* txd = nullptr) {
  return LoadWeapon(gen::BuildWeaponDff(desc), txd, model);
}

std::string Failure(const Bytes& dff, const Bytes* txd = nullptr) {
  WeaponModelData model;
  ModelLoadResult result = LoadWeapon(dff, txd, model);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(model.hasVertexBuffer);
  return result.message;
}

TEST(WeaponModelLoader, LoadsTheDemoPistolAttachedToFrameZero) {
  Bytes txd = gen::BuildTxd(gen::DemoWeaponTextures());
  gen::WeaponDesc desc = gen::DemoWeapon();
  WeaponModelData model;
  ModelLoadResult result = Load(desc, model, &txd);
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_TRUE(model.hasVertexBuffer);
  ASSERT_EQ(model.vertices.size(), desc.geometries[1].positions.size());
  for (size_t v = 0; v < model.vertices.size(); ++v) {
    EXPECT_EQ(model.vertices[v].position[1], desc.geometries[1].positions[v].y);
    EXPECT_EQ(model.vertices[v].normal[0], desc.geometries[1].normals[v].x);
    EXPECT_EQ(model.vertices[v].texCoord[0], desc.geometries[1].texCoords[v][0]);
  }
  ASSERT_EQ(model.mesh.materials.size(), 1u);
  EXPECT_EQ(model.mesh.materials[0].indices, desc.geometries[1].meshes[0].indices);
  const TextureImage* texture = model.mesh.TextureOf(model.mesh.materials[0]);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->name, "pistol_body");  // named "Pistol_Body" by the material
  EXPECT_EQ(texture->level0.size(), 8u * 8u * 8u);
}

TEST(WeaponModelLoader, TheGeometryOfTheAtomicAtFrameZeroIsChosen) {
  WeaponModelData model;
  ASSERT_TRUE(Load(Weapon({{1, 0}, {0, 1}}, 2), model).ok);
  EXPECT_EQ(model.vertices.size(), 48u);  // geometry 1: two boxes
  ASSERT_TRUE(Load(Weapon({{0, 0}}, 1), model).ok);
  EXPECT_EQ(model.vertices.size(), 24u);
  ASSERT_TRUE(Load(Weapon({{2, 0}, {0, 2}, {0, 1}}, 3), model).ok);
  EXPECT_EQ(model.vertices.size(), 72u);  // the first Atomic at frame 0 wins
}

TEST(WeaponModelLoader, WithoutAnAtomicAtFrameZeroTheAtomicCountIsTheIndex) {
  WeaponModelData model;
  ASSERT_TRUE(Load(Weapon({{1, 0}}, 2), model).ok);  // one Atomic: geometry 1
  EXPECT_EQ(model.vertices.size(), 48u);
  EXPECT_EQ(Failure(gen::BuildWeaponDff(Weapon({{1, 0}, {2, 1}}, 2))), msg::kRwGeometryNotFound);
}

TEST(WeaponModelLoader, FewerGeometriesThanToStepOverEndTheLoad) {
  for (int32_t index : {1, 2, 5, INT32_MAX}) {
    EXPECT_EQ(Failure(gen::BuildWeaponDff(Weapon({{0, index}}, 1))),
              "RW Section Clump\\Geometry List\\Geometry not found.")
        << index;
  }
  EXPECT_EQ(Failure(gen::BuildWeaponDff(Weapon({{0, -1}}, 1))), "RW Section Clump\\Atomic\\Struct is damaged.");
  gen::WeaponDesc desc = Weapon({{1, 0}}, 2);
  desc.atomicCount = -3;
  EXPECT_EQ(Failure(gen::BuildWeaponDff(desc)), "RW Section Clump\\Struct is damaged.");
}

TEST(WeaponModelLoader, WithoutADictionaryTheWeaponLoadsUntextured) {
  WeaponModelData model;
  ASSERT_TRUE(Load(gen::DemoWeapon(), model).ok);
  EXPECT_TRUE(model.hasVertexBuffer);
  EXPECT_EQ(model.mesh.materials[0].textureIndex, -1);
}

TEST(WeaponModelLoader, StripsAndListsAsFlagged) {
  gen::WeaponDesc desc = Weapon({{0, 0}}, 1);
  desc.geometries[0].binMeshFlags = 1;
  WeaponModelData model;
  ASSERT_TRUE(Load(desc, model).ok);
  EXPECT_EQ(model.mesh.primitiveType, kTriangleStrip);
}

TEST(WeaponModelDamaged, MissingSectionsEndTheLoadWithTheirMessages) {
  Bytes dff = gen::BuildWeaponDff(gen::DemoWeapon());
  EXPECT_EQ(Failure(Bytes()), msg::kRwClumpNotFound);
  Bytes noStruct = dff;
  PatchU32(noStruct, BodyOffset(noStruct, kRwClump), 0x99);  // the Clump's Struct
  EXPECT_EQ(Failure(noStruct), "RW Section Clump\\Struct not found.");
  Bytes noAtomicStruct = dff;
  PatchU32(noAtomicStruct, BodyOffset(noAtomicStruct, kRwAtomic, 1), 0x99);
  EXPECT_EQ(Failure(noAtomicStruct), "RW Section Clump\\Atomic\\Struct not found.");
  Bytes noList = dff;
  PatchU32(noList, SectionOffset(noList, kRwGeometryList), 0x99);
  EXPECT_EQ(Failure(noList), msg::kRwGeometryListNotFound);
  gen::WeaponDesc desc = gen::DemoWeapon();
  desc.geometries[1].writeBinMesh = false;
  EXPECT_EQ(Failure(gen::BuildWeaponDff(desc)), msg::kRwBinMeshNotFound);
  desc = gen::DemoWeapon();
  desc.stamp = 0x1003FFFF;
  EXPECT_EQ(Failure(gen::BuildWeaponDff(desc)), msg::kRwUnknownVersion);
}

TEST(WeaponModelDamaged, TheLimitsOfTheCharacterHoldHereToo) {
  gen::WeaponDesc desc = gen::DemoWeapon();
  desc.geometries[1].meshes[0].material = 1;
  EXPECT_EQ(Failure(gen::BuildWeaponDff(desc)), msg::kRwBinMeshDamaged);
  desc = gen::DemoWeapon();
  desc.geometries[1].texCoords.clear();
  desc.geometries[1].flagsOverride = 0x80 | 0x02;
  EXPECT_EQ(Failure(gen::BuildWeaponDff(desc)), msg::kRwGeometryStructDamaged);
  gen::DictionaryDesc textures = gen::DemoWeaponTextures();
  textures.textures[0].platform = 2;
  Bytes txd = gen::BuildTxd(textures);
  EXPECT_EQ(Failure(gen::BuildWeaponDff(gen::DemoWeapon()), &txd), msg::kRwUnknownTexturePlatform);
}

TEST(WeaponModelDamaged, EveryTruncationAndByteChangeStopsSafely) {
  Bytes full = gen::BuildWeaponDff(gen::DemoWeapon());
  Bytes txd = gen::BuildTxd(gen::DemoWeaponTextures());
  // The last thing the loader needs is the second Atomic's Struct.
  size_t chosenAtomicEnd = BodyOffset(full, kRwAtomic, 1) + sizeof(RwChunkHeader) + 16;
  for (size_t length = 0; length < full.size(); ++length) {
    Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
    WeaponModelData model;
    ModelLoadResult result = LoadWeapon(cut, &txd, model);
    EXPECT_EQ(result.ok, model.hasVertexBuffer) << length;
    if (length < chosenAtomicEnd) {
      EXPECT_FALSE(result.ok) << length;
    }
  }
  for (size_t at = 0; at < full.size(); ++at) {
    Bytes changed = full;
    changed[at] = static_cast<uint8_t>(changed[at] ^ 0xA5);
    WeaponModelData model;
    ModelLoadResult result = LoadWeapon(changed, &txd, model);
    EXPECT_EQ(result.ok, model.hasVertexBuffer);
  }
}

}  // namespace
}  // namespace zam
