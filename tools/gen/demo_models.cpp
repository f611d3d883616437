#include "demo_models.h"

#include <cmath>
#include <string>
#include <utility>

namespace zam::gen {
namespace {

Vec3 Add(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

MeshDesc& MeshOf(GeometryDesc& geometry, uint32_t material) {
  for (MeshDesc& mesh : geometry.meshes) {
    if (mesh.material == material) return mesh;
  }
  geometry.meshes.push_back(MeshDesc{material, {}});
  return geometry.meshes.back();
}

float& Axis(Vec3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

struct Joint {
  const char* name;
  int32_t id;
  int parentBone;  // -1: the Clump's root frame
  Vec3 world;      // bind-pose position; every bind rotation is the identity
};

// Builds the bones from world positions, and the skin's inverse bind matrices.
void SetSkeleton(CharacterDesc& desc, const Joint* joints, size_t count) {
  for (size_t b = 0; b < count; ++b) {
    const Joint& j = joints[b];
    BoneDesc bone;
    bone.name = j.name;
    bone.id = j.id;
    bone.parentFrame = j.parentBone + 1;
    bone.position = j.parentBone < 0 ? j.world : Sub(j.world, joints[j.parentBone].world);
    desc.bones.push_back(bone);
    Matrix4 inverse = InverseTranslation(j.world);
    // A fourth column other than 0, 0, 0, 1, which the loader must replace.
    inverse.m[0][3] = inverse.m[1][3] = inverse.m[2][3] = 1.0f;
    inverse.m[3][3] = 0.0f;
    desc.skin.inverseBindMatrices.push_back(inverse);
  }
}

TextureDesc Texture(const char* name, uint32_t format, uint16_t size, std::vector<uint8_t> level0, int extraLevels) {
  TextureDesc t;
  t.name = name;
  t.format = format;
  t.rasterFormat = format == kD3dFormatDxt1 ? 0x0200 : 0x0500;  // 565 or 8888
  t.width = t.height = size;
  t.level0 = std::move(level0);
  t.extraLevels = extraLevels;
  return t;
}

}  // namespace

void AddBox(GeometryDesc& geometry, SkinDesc* skin, uint32_t material, const Vec3& lo, const Vec3& hi, uint8_t node) {
  // Outward axis, its sign, and the two in-face axes whose cross product is
  // the outward normal, so each face winds counter-clockwise seen from outside.
  static const int kFaces[6][4] = {{0, 1, 1, 2}, {0, -1, 2, 1}, {1, 1, 2, 0},
                                   {1, -1, 0, 2}, {2, 1, 0, 1}, {2, -1, 1, 0}};
  static const int kCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  MeshDesc& mesh = MeshOf(geometry, material);
  Vec3 bounds[2] = {lo, hi};
  for (const auto& face : kFaces) {
    uint32_t first = static_cast<uint32_t>(geometry.positions.size());
    for (const auto& corner : kCorners) {
      Vec3 p{}, n{};
      Axis(p, face[0]) = Axis(bounds[face[1] > 0], face[0]);
      Axis(p, face[2]) = Axis(bounds[corner[0]], face[2]);
      Axis(p, face[3]) = Axis(bounds[corner[1]], face[3]);
      Axis(n, face[0]) = static_cast<float>(face[1]);
      geometry.positions.push_back(p);
      geometry.normals.push_back(n);
      geometry.texCoords.push_back({static_cast<float>(corner[0]), 1.0f - static_cast<float>(corner[1])});
      if (skin) {
        skin->boneIndices.push_back({node, 0, 0, 0});
        skin->weights.push_back({1.0f, 0.0f, 0.0f, 0.0f});
      }
    }
    for (uint32_t i : {0u, 1u, 2u, 0u, 2u, 3u}) mesh.indices.push_back(first + i);
  }
}

CharacterDesc DemoCharacter() {
  // Z is up; the character faces -Y, its left side towards +X.
  static const Joint kJoints[] = {
      {"Root", 0, -1, {0, 0, 0}},           {"Pelvis", 1, 0, {0, 0, 1.0f}},
      {"Spine", 2, 1, {0, 0, 1.1f}},        {"Spine1", 3, 2, {0, 0, 1.3f}},
      {"Neck", 4, 3, {0, 0, 1.55f}},        {"Head", 5, 4, {0, 0, 1.65f}},
      {"L Clavicle", 31, 3, {0.08f, 0, 1.5f}}, {"L UpperArm", 32, 6, {0.2f, 0, 1.5f}},
      {"L Forearm", 33, 7, {0.48f, 0, 1.5f}},  {"L Hand", 34, 8, {0.74f, 0, 1.5f}},
      {" R Clavicle", 21, 3, {-0.08f, 0, 1.5f}}, {" R UpperArm", 22, 10, {-0.2f, 0, 1.5f}},
      {" R Forearm", 23, 11, {-0.48f, 0, 1.5f}}, {" R Hand", 24, 12, {-0.74f, 0, 1.5f}},
      {"L Thigh", 41, 1, {0.1f, 0, 0.95f}},    {"L Calf", 42, 14, {0.1f, 0, 0.52f}},
      {"L Foot", 43, 15, {0.1f, 0, 0.08f}},    {"R Thigh", 51, 1, {-0.1f, 0, 0.95f}},
      {"R Calf", 52, 17, {-0.1f, 0, 0.52f}},   {"R Foot", 53, 18, {-0.1f, 0, 0.08f}},
  };
  enum : uint32_t { kSkin, kClothes, kShoes };
  struct Part {
    uint8_t bone;
    uint32_t material;
    Vec3 lo, hi;
  };
  static const Part kParts[] = {
      {1, kClothes, {-0.18f, -0.1f, 0.92f}, {0.18f, 0.1f, 1.1f}},   // hips
      {2, kClothes, {-0.16f, -0.09f, 1.1f}, {0.16f, 0.09f, 1.3f}},  // belly
      {3, kClothes, {-0.2f, -0.11f, 1.3f}, {0.2f, 0.11f, 1.55f}},   // chest
      {4, kSkin, {-0.04f, -0.04f, 1.55f}, {0.04f, 0.04f, 1.65f}},   // neck
      {5, kSkin, {-0.1f, -0.11f, 1.65f}, {0.1f, 0.1f, 1.9f}},       // head
      {7, kClothes, {0.2f, -0.05f, 1.45f}, {0.48f, 0.05f, 1.55f}},  // left upper arm
      {8, kSkin, {0.48f, -0.04f, 1.46f}, {0.74f, 0.04f, 1.54f}},    // left forearm
      {9, kSkin, {0.74f, -0.03f, 1.45f}, {0.84f, 0.03f, 1.54f}},    // left hand
      {11, kClothes, {-0.48f, -0.05f, 1.45f}, {-0.2f, 0.05f, 1.55f}},
      {12, kSkin, {-0.74f, -0.04f, 1.46f}, {-0.48f, 0.04f, 1.54f}},
      {13, kSkin, {-0.84f, -0.03f, 1.45f}, {-0.74f, 0.03f, 1.54f}},
      {14, kClothes, {0.03f, -0.07f, 0.52f}, {0.17f, 0.07f, 0.95f}},  // left thigh
      {15, kClothes, {0.04f, -0.06f, 0.08f}, {0.16f, 0.06f, 0.52f}},  // left calf
      {16, kShoes, {0.04f, -0.16f, 0.0f}, {0.16f, 0.05f, 0.08f}},     // left foot
      {17, kClothes, {-0.17f, -0.07f, 0.52f}, {-0.03f, 0.07f, 0.95f}},
      {18, kClothes, {-0.16f, -0.06f, 0.08f}, {-0.04f, 0.06f, 0.52f}},
      {19, kShoes, {-0.16f, -0.16f, 0.0f}, {-0.04f, 0.05f, 0.08f}},
  };
  CharacterDesc desc;
  desc.rootFrameName = "demo_character";
  SetSkeleton(desc, kJoints, sizeof kJoints / sizeof kJoints[0]);
  desc.geometry.materials = {{"skin", {}}, {"Clothes", {}}, {"", {}}};  // "Clothes": looked up without regard to case
  for (const Part& part : kParts) AddBox(desc.geometry, &desc.skin, part.material, part.lo, part.hi, part.bone);
  return desc;
}

DictionaryDesc DemoCharacterTextures() {
  return DictionaryDesc{{Texture("skin", kD3dFormatA8R8G8B8, 64, CheckerArgb(64, 64, 0xFFE0B090, 0xFFD0A080, 8), 0),
                         Texture("clothes", kD3dFormatDxt1, 64, CheckerDxt1(64, 64, 0x3A7F, 0xFFFF, 2), 2)}};
}

CharacterDesc SmallCharacter() {
  static const Joint kJoints[] = {
      {"Root", 0, -1, {0, 0, 0}}, {"Spine", 2, 0, {0, 0, 1.0f}}, {" R Hand", 24, 1, {-0.5f, 0, 1.4f}}};
  CharacterDesc desc;
  desc.rootFrameName = "small";
  SetSkeleton(desc, kJoints, 3);
  desc.geometry.materials = {{"body", {}}, {"", {}}};
  AddBox(desc.geometry, &desc.skin, 0, {-0.2f, -0.1f, 0.0f}, {0.2f, 0.1f, 1.0f}, 0);
  AddBox(desc.geometry, &desc.skin, 0, {-0.15f, -0.1f, 1.0f}, {0.15f, 0.1f, 1.5f}, 1);
  AddBox(desc.geometry, &desc.skin, 1, {-0.6f, -0.05f, 1.35f}, {-0.5f, 0.05f, 1.45f}, 2);
  return desc;
}

DictionaryDesc SmallCharacterTextures() {
  return DictionaryDesc{{Texture("other", kD3dFormatDxt1, 4, CheckerDxt1(4, 4, 0xF800, 0x07E0, 1), 0),
                         Texture("body", kD3dFormatA8R8G8B8, 4, CheckerArgb(4, 4, 0xFF808080, 0xFFFFFFFF, 1), 0)}};
}

CharacterDesc LargeCharacter(int vertices, int bones) {
  CharacterDesc desc;
  desc.rootFrameName = "large";
  std::vector<Joint> joints;
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(bones));
  for (int b = 0; b < bones; ++b) {
    names.push_back(b == bones / 2 ? " R Hand" : "Bone" + std::to_string(b));
    int parent = b == 0 ? -1 : (b - 1) / 2;  // a binary tree
    float angle = static_cast<float>(b) * 0.7f;
    joints.push_back(Joint{names.back().c_str(), b == 0 ? 0 : 100 + b, parent,
                           {0.3f * std::cos(angle), 0.3f * std::sin(angle), 0.05f * static_cast<float>(b)}});
  }
  SetSkeleton(desc, joints.data(), joints.size());
  GeometryDesc& g = desc.geometry;
  for (int m = 0; m < 4; ++m) g.materials.push_back(MaterialDesc{"texture" + std::to_string(m), {}});
  for (int v = 0; v < vertices; ++v) {
    int bone = static_cast<int>(static_cast<int64_t>(v) * bones / vertices);
    float t = static_cast<float>(v) * 0.01f;
    Vec3 at = joints[static_cast<size_t>(bone)].world;
    g.positions.push_back(Add(at, Vec3{0.1f * std::cos(t), 0.1f * std::sin(t), 0.001f * static_cast<float>(v % 97)}));
    g.normals.push_back(Vec3{std::cos(t), std::sin(t), 0.0f});
    g.texCoords.push_back({static_cast<float>(v % 64) / 64.0f, static_cast<float>(v % 61) / 61.0f});
    uint8_t parent = static_cast<uint8_t>(bone == 0 ? 0 : (bone - 1) / 2);
    desc.skin.boneIndices.push_back({static_cast<uint8_t>(bone), parent, 0, 0});
    desc.skin.weights.push_back({0.75f, 0.25f, 0.0f, 0.0f});
  }
  for (int v = 0; v + 2 < vertices; ++v) {
    MeshDesc& mesh = MeshOf(g, static_cast<uint32_t>(static_cast<int64_t>(v) * 4 / vertices));
    for (int k : {0, 1, 2}) mesh.indices.push_back(static_cast<uint32_t>(v + (v % 2 == 0 ? k : 2 - k)));
  }
  return desc;
}

DictionaryDesc LargeCharacterTextures() {
  DictionaryDesc dictionary;
  dictionary.textures.push_back(
      Texture("texture0", kD3dFormatA8R8G8B8, 256, CheckerArgb(256, 256, 0xFF102030, 0xFFA0B0C0, 16), 3));
  for (int m = 1; m < 4; ++m) {
    std::string name = "texture" + std::to_string(m);
    dictionary.textures.push_back(Texture(name.c_str(), kD3dFormatDxt1, 256,
                                          CheckerDxt1(256, 256, static_cast<uint16_t>(0x1234 * m), 0xFFFF, 4), 3));
  }
  return dictionary;
}

WeaponDesc DemoWeapon() {
  WeaponDesc desc;
  GeometryDesc flash;
  flash.materials = {{"muzzleflash", {}}};
  AddBox(flash, nullptr, 0, {-0.1f, -0.24f, -0.03f}, {0.0f, -0.22f, 0.07f}, 0);
  GeometryDesc pistol;
  pistol.materials = {{"Pistol_Body", {}}};
  AddBox(pistol, nullptr, 0, {-0.08f, -0.2f, 0.0f}, {-0.04f, 0.02f, 0.04f}, 0);   // slide and barrel
  AddBox(pistol, nullptr, 0, {-0.08f, -0.01f, -0.1f}, {-0.04f, 0.03f, 0.0f}, 0);  // grip
  desc.geometries = {flash, pistol};
  desc.atomics = {{1, 0}, {0, 1}};
  return desc;
}

DictionaryDesc DemoWeaponTextures() {
  return DictionaryDesc{{Texture("pistol_body", kD3dFormatDxt1, 32, CheckerDxt1(32, 32, 0x2104, 0x4208, 1), 1),
                         Texture("muzzleflash", kD3dFormatA8R8G8B8, 8, CheckerArgb(8, 8, 0xFFFFE060, 0x80FF8000, 2), 0)}};
}

}  // namespace zam::gen
