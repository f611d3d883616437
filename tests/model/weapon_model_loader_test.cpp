#include "model/weapon_model_loader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

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

Message Failure(const Bytes& dff, const Bytes* txd = nullptr) {
  WeaponModelData model;
  ModelLoadResult result = LoadWeapon(dff, txd, model);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(model.hasVertexBuffer);
  return result.message;
}

TEST(WeaponModelLoader, LoadsTheDemoPistolAttachedToFrameZero) {
  Bytes txd = gen::BuildTxd(gen::DemoWeaponTextures());
  gen::WeaponDesc desc = gen::DemoWeapon();
  desc.geometries[1].binMeshFlags = 1;
  WeaponModelData model;
  ModelLoadResult result = Load(desc, model, &txd);
  ASSERT_TRUE(result.ok) << MessageText(result.message);
  EXPECT_TRUE(model.hasVertexBuffer);
  EXPECT_EQ(model.mesh.primitiveType, kTriangleStrip);
  ASSERT_EQ(model.vertices.size(), desc.geometries[1].positions.size());
  for (size_t v = 0; v < model.vertices.size(); ++v) {
    EXPECT_EQ(model.vertices[v].position[1], desc.geometries[1].positions[v].y);
    EXPECT_EQ(model.vertices[v].normal[0], desc.geometries[1].normals[v].x);
    EXPECT_EQ(model.vertices[v].texCoord[0], desc.geometries[1].texCoords[v][0]);
  }
  EXPECT_EQ(model.mesh.materials[0].indices, desc.geometries[1].meshes[0].indices);
  const TextureImage* texture = model.mesh.TextureOf(model.mesh.materials[0]);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->name, "pistol_body");  // named "Pistol_Body" by the material
  EXPECT_EQ(model.libraryStamp, kRwLibraryStamp);
  ASSERT_TRUE(Load(gen::DemoWeapon(), model).ok);
  EXPECT_EQ(model.mesh.materials[0].textureIndex, -1) << "without a dictionary";
  desc.stamp = 0x1003FFFF;  // 3.4.0.3, the previous game's
  ASSERT_TRUE(Load(desc, model, &txd).ok);
  EXPECT_EQ(model.vertices.size(), desc.geometries[1].positions.size());
  EXPECT_NE(model.mesh.TextureOf(model.mesh.materials[0]), nullptr);
}

TEST(WeaponModelLoader, TheGeometryOfTheAtomicAtFrameZeroIsChosen) {
  // Geometry g has g + 1 boxes of 24 vertices. Without an Atomic at frame 0
  // the Atomic count is the index.
  const std::pair<std::vector<gen::AtomicDesc>, size_t> cases[] = {
      {{{1, 0}, {0, 1}}, 48}, {{{0, 0}}, 24}, {{{2, 0}, {0, 2}, {0, 1}}, 72}, {{{1, 0}}, 48}};
  for (const auto& [atomics, vertices] : cases) {
    WeaponModelData model;
    ASSERT_TRUE(Load(Weapon(atomics, 3), model).ok);
    EXPECT_EQ(model.vertices.size(), vertices);
  }
}

TEST(WeaponModelDamaged, MissingSectionsAndBadCountsEndTheLoadWithTheirMessages) {
  const Bytes dff = gen::BuildWeaponDff(gen::DemoWeapon());
  auto demo = [](const std::function<void(gen::WeaponDesc&)>& change) {
    gen::WeaponDesc desc = gen::DemoWeapon();
    change(desc);
    return gen::BuildWeaponDff(desc);
  };
  auto patched = [&](size_t at) {
    Bytes bytes = dff;
    PatchU32(bytes, at, 0x99);
    return bytes;
  };
  gen::WeaponDesc negative = Weapon({{1, 0}}, 2);
  negative.atomicCount = -3;
  const std::pair<Bytes, Message> cases[] = {
      {Bytes(), Message::RwClumpNotFound},
      {patched(BodyOffset(dff, kRwClump)), Message::RwClumpStructNotFound},
      {patched(BodyOffset(dff, kRwAtomic, 1)), Message::RwAtomicStructNotFound},
      {patched(SectionOffset(dff, kRwGeometryList)), Message::RwGeometryListNotFound},
      {demo([](auto& d) { d.geometries[1].writeBinMesh = false; }), Message::RwBinMeshNotFound},
      {demo([](auto& d) { d.stamp = 0x0C02FFFF; }), Message::RwUnknownVersion},  // 3.3.0.2
      {demo([](auto& d) { d.geometries[1].meshes[0].material = 1; }), Message::RwBinMeshDamaged},
      {demo([](auto& d) { d.geometries[1].texCoords.clear(), d.geometries[1].flagsOverride = 0x82; }),
       Message::RwGeometryStructDamaged},
      {gen::BuildWeaponDff(Weapon({{1, 0}, {2, 1}}, 2)), Message::RwGeometryNotFound},
      {gen::BuildWeaponDff(Weapon({{0, -1}}, 1)), Message::RwAtomicStructDamaged},
      {gen::BuildWeaponDff(negative), Message::RwClumpStructDamaged},
      {gen::BuildWeaponDff(Weapon({{0, 1}}, 1)), Message::RwGeometryNotFound},
      {gen::BuildWeaponDff(Weapon({{0, INT32_MAX}}, 1)), Message::RwGeometryNotFound},
  };
  for (const auto& [bytes, message] : cases) EXPECT_EQ(Failure(bytes), message);
  EXPECT_STREQ(MessageText(Failure(gen::BuildWeaponDff(negative))), "RW Section Clump\\Struct is damaged.");
  gen::DictionaryDesc textures = gen::DemoWeaponTextures();
  textures.textures[0].platform = 2;
  Bytes txd = gen::BuildTxd(textures);
  EXPECT_EQ(Failure(dff, &txd), Message::RwUnknownTexturePlatform);
}

TEST(WeaponModelDamaged, EveryTruncationStopsSafely) {
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
}

}  // namespace
}  // namespace zam
