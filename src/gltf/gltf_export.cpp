#include "gltf/gltf_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "base/text.h"
#include "gltf/gltf_model.h"
#include "gltf/png_image.h"
#include "gltf/texture_rgba.h"
#include "math/quaternion.h"
#include "preview/pose.h"

namespace zam {
namespace {

constexpr char kGenerator[] = "Zelcor Animation Manager";

// The root node turns the game's Z-up into glTF's Y-up: -90 degrees about X.
constexpr double kHalfSqrt2 = 0.70710678118654752440;
const std::vector<double> kZUpToYUp = {-kHalfSqrt2, 0.0, 0.0, kHalfSqrt2};

// Values that are no number cannot stand in a glTF file; they become 0.
float Finite(float value) { return std::isfinite(value) ? value : 0.0f; }

// A rotation as glTF takes it: a unit quaternion. One of zero length is no
// rotation, as the preview's matrix of it is the identity.
std::array<double, 4> UnitRotation(const Quaternion& q) {
  const double x = Finite(q.x), y = Finite(q.y), z = Finite(q.z), w = Finite(q.w);
  const double length = std::sqrt(x * x + y * y + z * z + w * w);
  if (!(length > 0.0)) return {0.0, 0.0, 0.0, 1.0};
  return {x / length, y / length, z / length, w / length};
}

// The keys of a track as a glTF sampler holds them: times from 0 on, each
// later than the one before. Keys before 0 give way to what the track holds
// at 0; a key not later than the one before it (two keys at one time) is
// moved the least step after it, so the track still jumps where it did.
struct TrackSamples {
  std::vector<float> times;
  std::vector<KeyFrame> keys;

  void Add(const KeyFrame& key, float time) {
    times.push_back(time);
    keys.push_back(key);
  }
};

TrackSamples SamplesOf(const BoneTrack& track) {
  TrackSamples samples;
  bool before = false;
  for (const KeyFrame& key : track.keys) {
    if (!std::isfinite(key.time)) continue;
    if (key.time < 0.0f) {
      before = true;
      continue;
    }
    if (samples.keys.empty() && before && key.time > 0.0f) samples.Add(InterpolateTrack(track, 0.0f), 0.0f);
    float time = key.time;
    if (!samples.times.empty() && !(time > samples.times.back())) {
      time = std::nextafter(samples.times.back(), INFINITY);
    }
    samples.Add(key, time);
  }
  if (samples.keys.empty() && before) samples.Add(InterpolateTrack(track, 0.0f), 0.0f);
  return samples;
}

// What one bone's track contributes to an animation.
struct BoneChannels {
  int node;
  bool rotation, translation, scale;  // the channels its key type names
  TrackSamples samples;
};

// Vertex data of one mesh, as glTF attributes.
struct VertexArrays {
  size_t count = 0;
  std::vector<float> positions, normals, texCoords;
  std::vector<uint8_t> joints;  // skinned meshes only
  std::vector<float> weights;
};

class GltfBuilder {
 public:
  explicit GltfBuilder(const GltfExportInput& input) : input_(input), character_(input.character) {}

  std::vector<uint8_t> Build() {
    model_.asset.generator = kGenerator;
    model_.buffers.emplace_back();
    root_ = AddNode("root (Z up)");
    model_.nodes[static_cast<size_t>(root_)].rotation = kZUpToYUp;
    tinygltf::Scene scene;
    scene.nodes.push_back(root_);
    AddSkeleton();
    const int mesh = AddMesh("character", CharacterVertices(), character_.mesh);
    if (mesh >= 0) {
      const int node = AddNode("character");
      model_.nodes[static_cast<size_t>(node)].mesh = mesh;
      model_.nodes[static_cast<size_t>(node)].skin = AddSkin();
      scene.nodes.push_back(node);
    }
    if (input_.weapon && input_.weapon->hasVertexBuffer) AddWeapon(*input_.weapon);
    for (int index : input_.animations) {
      if (const Animation* animation = AnimationAt(input_.package, index)) AddAnimation(*animation);
    }
    model_.scenes.push_back(scene);
    model_.defaultScene = 0;

    std::ostringstream out;
    tinygltf::TinyGLTF().WriteGltfSceneToStream(&model_, out, false, true);
    const std::string bytes = out.str();
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  }

 private:
  int AddNode(const std::string& name, int parent = -1) {
    tinygltf::Node node;
    node.name = name;
    model_.nodes.push_back(node);
    const int index = static_cast<int>(model_.nodes.size()) - 1;
    if (parent >= 0) model_.nodes[static_cast<size_t>(parent)].children.push_back(index);
    return index;
  }

  // ---- buffer data

  int AddView(const void* data, size_t size, int target) {
    std::vector<unsigned char>& bytes = model_.buffers[0].data;
    bytes.resize((bytes.size() + 3) & ~size_t{3}, 0);  // every view starts 4-byte aligned
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = bytes.size();
    view.byteLength = size;
    view.target = target;
    const auto* from = static_cast<const unsigned char*>(data);
    bytes.insert(bytes.end(), from, from + size);
    model_.bufferViews.push_back(view);
    return static_cast<int>(model_.bufferViews.size()) - 1;
  }

  int AddAccessor(int view, int componentType, size_t count, int type, std::vector<double> min = {},
                  std::vector<double> max = {}) {
    tinygltf::Accessor accessor;
    accessor.bufferView = view;
    accessor.componentType = componentType;
    accessor.count = count;
    accessor.type = type;
    accessor.minValues = std::move(min);
    accessor.maxValues = std::move(max);
    model_.accessors.push_back(accessor);
    return static_cast<int>(model_.accessors.size()) - 1;
  }

  // Floats of `components` each; `bounds` adds each component's least and
  // greatest value, which positions and animation times must carry.
  int AddFloats(const std::vector<float>& values, int type, size_t components, bool bounds, int target = 0) {
    const size_t count = values.size() / components;
    std::vector<double> min, max;
    if (bounds) {
      min.assign(components, INFINITY);
      max.assign(components, -INFINITY);
      for (size_t i = 0; i < values.size(); ++i) {
        min[i % components] = std::min<double>(min[i % components], values[i]);
        max[i % components] = std::max<double>(max[i % components], values[i]);
      }
    }
    const int view = AddView(values.data(), values.size() * sizeof(float), target);
    return AddAccessor(view, TINYGLTF_COMPONENT_TYPE_FLOAT, count, type, std::move(min), std::move(max));
  }

  // ---- skeleton

  // One node per bone, holding its model pose, under its parent or the root
  // (a parent the preview does not honour is no parent here either).
  void AddSkeleton() {
    const int bones = PosableBoneCount(character_);
    for (int i = 0; i < bones; ++i) {
      const size_t bone = static_cast<size_t>(i);
      const int32_t parent = character_.boneParent[bone];
      const std::string name = bone < character_.boneNames.size() ? character_.boneNames[bone] : "";
      const int node =
          AddNode(Latin1ToUtf8(name), parent >= 0 && parent < i ? boneNodes_[static_cast<size_t>(parent)] : root_);
      const Vec3& position = character_.bonePosition[bone];
      const std::array<double, 4> rotation = UnitRotation(QuaternionFromMatrix(character_.boneRotation[bone]));
      model_.nodes[static_cast<size_t>(node)].translation = {Finite(position.x), Finite(position.y),
                                                             Finite(position.z)};
      model_.nodes[static_cast<size_t>(node)].rotation.assign(rotation.begin(), rotation.end());
      boneNodes_.push_back(node);
    }
  }

  // Joint k is the bone whose node index is k (the last such bone, as the
  // preview's skinning matrix k is the last one written). A skin bone no bone
  // maps to keeps the identity in the preview: it gets a joint of its own at
  // the root with the identity as its inverse bind matrix.
  int AddSkin() {
    const size_t skinBones =
        std::min(static_cast<size_t>(std::max(character_.boneCount, 0)), character_.inverseBindMatrices.size());
    std::vector<int> joints(skinBones, -1);
    for (size_t bone = 0; bone < boneNodes_.size(); ++bone) {
      const int32_t k = character_.boneNodeIndex[bone];
      if (k >= 0 && static_cast<size_t>(k) < skinBones) joints[static_cast<size_t>(k)] = boneNodes_[bone];
    }
    std::vector<float> inverseBinds;
    for (size_t k = 0; k < skinBones; ++k) {
      Matrix4 matrix = IdentityFloats();
      if (joints[k] < 0) {
        joints[k] = AddNode("skin bone " + std::to_string(k), root_);
      } else {
        matrix = character_.inverseBindMatrices[k];
      }
      // Row-major for row vectors is column-major for column vectors: the
      // same sixteen floats in the same order.
      for (const auto& row : matrix.m) {
        for (float value : row) inverseBinds.push_back(Finite(value));
      }
    }
    tinygltf::Skin skin;
    skin.skeleton = root_;
    skin.joints = joints;
    skin.inverseBindMatrices = AddFloats(inverseBinds, TINYGLTF_TYPE_MAT4, 16, false);
    model_.skins.push_back(skin);
    return static_cast<int>(model_.skins.size()) - 1;
  }

  static Matrix4 IdentityFloats() {
    Matrix4 identity{};
    for (int i = 0; i < 4; ++i) identity.m[i][i] = 1.0f;
    return identity;
  }

  // ---- meshes

  static void AddNormal(std::vector<float>& normals, const float (&normal)[3]) {
    const double x = Finite(normal[0]), y = Finite(normal[1]), z = Finite(normal[2]);
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length > 0.0) {
      normals.insert(normals.end(),
                     {static_cast<float>(x / length), static_cast<float>(y / length), static_cast<float>(z / length)});
    } else {
      normals.insert(normals.end(), {0.0f, 0.0f, 1.0f});
    }
  }

  template <typename Vertex>
  static VertexArrays BasicVertices(const std::vector<Vertex>& vertices) {
    VertexArrays arrays;
    arrays.count = vertices.size();
    bool anyNormal = false;
    for (const Vertex& vertex : vertices) {
      for (float value : vertex.position) arrays.positions.push_back(Finite(value));
      for (float value : vertex.texCoord) arrays.texCoords.push_back(Finite(value));
      AddNormal(arrays.normals, vertex.normal);
      anyNormal = anyNormal || vertex.normal[0] != 0.0f || vertex.normal[1] != 0.0f || vertex.normal[2] != 0.0f;
    }
    if (!anyNormal) arrays.normals.clear();  // a geometry without normals
    return arrays;
  }

  // The skin's four weights per vertex: the three stored and the rest to 1,
  // as the preview blends them. A joint named twice gets the weights of
  // both; weights below 0 (or beyond the skin) count as 0, and the four are
  // scaled to add up to 1.
  VertexArrays CharacterVertices() const {
    VertexArrays arrays = BasicVertices(character_.vertices);
    const size_t skinBones =
        std::min(static_cast<size_t>(std::max(character_.boneCount, 0)), character_.inverseBindMatrices.size());
    for (const SkinnedVertex& vertex : character_.vertices) {
      const float* w = vertex.blendWeights;
      double weights[4] = {w[0], w[1], w[2], 1.0 - static_cast<double>(w[0]) - w[1] - w[2]};
      uint8_t joints[4];
      double sum = 0.0;
      for (int i = 0; i < 4; ++i) {
        joints[i] = vertex.boneIndices[i];
        if (!(weights[i] > 0.0) || !std::isfinite(weights[i]) || joints[i] >= skinBones) weights[i] = 0.0;
        for (int j = 0; j < i; ++j) {
          if (joints[j] == joints[i] && weights[i] > 0.0) {
            weights[j] += weights[i];
            weights[i] = 0.0;
          }
        }
        if (weights[i] == 0.0) joints[i] = 0;
      }
      for (double weight : weights) sum += weight;
      if (!(sum > 0.0)) {
        weights[0] = sum = 1.0;
        joints[0] = 0;
      }
      for (int i = 0; i < 4; ++i) {
        arrays.joints.push_back(joints[i]);
        arrays.weights.push_back(static_cast<float>(weights[i] / sum));
      }
    }
    return arrays;
  }

  // The texture's image, once per texture; -1 when its format cannot be read.
  int TextureOf(const TextureImage& image, bool& hasAlpha) {
    const auto known = textures_.find(&image);
    if (known != textures_.end()) {
      hasAlpha = known->second.second;
      return known->second.first;
    }
    std::vector<uint8_t> rgba;
    int texture = -1;
    hasAlpha = false;
    if (TextureToRgba(image, rgba)) {
      const std::vector<uint8_t> png = EncodePng(rgba, image.width, image.height);
      if (!png.empty()) {
        for (size_t i = 3; i < rgba.size(); i += 4) hasAlpha = hasAlpha || rgba[i] != 255;
        if (model_.samplers.empty()) {
          tinygltf::Sampler sampler;
          sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
          sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
          model_.samplers.push_back(sampler);
        }
        tinygltf::Image file;
        file.name = Latin1ToUtf8(image.name);
        file.mimeType = "image/png";
        file.bufferView = AddView(png.data(), png.size(), 0);
        model_.images.push_back(file);
        tinygltf::Texture gltfTexture;
        gltfTexture.sampler = 0;
        gltfTexture.source = static_cast<int>(model_.images.size()) - 1;
        model_.textures.push_back(gltfTexture);
        texture = static_cast<int>(model_.textures.size()) - 1;
      }
    }
    textures_[&image] = {texture, hasAlpha};
    return texture;
  }

  // One material per texture (and one for everything untextured): its
  // colour from the texture, neither metallic nor shiny, blended where the
  // texture is translucent, as the preview draws it.
  int MaterialOf(const TextureImage* image) {
    const auto known = materials_.find(image);
    if (known != materials_.end()) return known->second;
    tinygltf::Material material;
    material.name = image ? Latin1ToUtf8(image->name) : "untextured";
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = 1.0;
    bool hasAlpha = false;
    const int texture = image ? TextureOf(*image, hasAlpha) : -1;
    if (texture >= 0) material.pbrMetallicRoughness.baseColorTexture.index = texture;
    if (hasAlpha) material.alphaMode = "BLEND";
    model_.materials.push_back(material);
    return materials_[image] = static_cast<int>(model_.materials.size()) - 1;
  }

  // One primitive per material that draws at least one triangle; -1 for a
  // mesh with none. Texture coordinates go to the primitives with a texture.
  int AddMesh(const std::string& name, const VertexArrays& vertices, const MeshData& data) {
    if (vertices.count == 0) return -1;
    const bool strip = data.primitiveType == kTriangleStrip;
    tinygltf::Mesh mesh;
    mesh.name = name;
    std::vector<const MaterialMesh*> drawn;
    bool anyTextured = false;
    for (const MaterialMesh& material : data.materials) {
      if (material.indices.size() < 3) continue;
      tinygltf::Primitive primitive;
      primitive.mode = strip ? TINYGLTF_MODE_TRIANGLE_STRIP : TINYGLTF_MODE_TRIANGLES;
      primitive.material = MaterialOf(data.TextureOf(material));
      anyTextured = anyTextured || Textured(primitive.material);
      mesh.primitives.push_back(primitive);
      drawn.push_back(&material);
    }
    if (mesh.primitives.empty()) return -1;
    const std::map<std::string, int> attributes = AddAttributes(vertices, anyTextured);
    for (size_t p = 0; p < drawn.size(); ++p) {
      tinygltf::Primitive& primitive = mesh.primitives[p];
      primitive.attributes = attributes;
      if (!Textured(primitive.material)) primitive.attributes.erase("TEXCOORD_0");
      std::vector<uint32_t> indices = drawn[p]->indices;
      if (!strip) indices.resize(indices.size() / 3 * 3);
      const int view = AddView(indices.data(), indices.size() * sizeof(uint32_t), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
      primitive.indices = AddAccessor(view, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, indices.size(), TINYGLTF_TYPE_SCALAR);
    }
    model_.meshes.push_back(mesh);
    return static_cast<int>(model_.meshes.size()) - 1;
  }

  bool Textured(int material) const {
    return model_.materials[static_cast<size_t>(material)].pbrMetallicRoughness.baseColorTexture.index >= 0;
  }

  std::map<std::string, int> AddAttributes(const VertexArrays& vertices, bool textured) {
    std::map<std::string, int> attributes;
    attributes["POSITION"] = AddFloats(vertices.positions, TINYGLTF_TYPE_VEC3, 3, true, TINYGLTF_TARGET_ARRAY_BUFFER);
    if (!vertices.normals.empty()) {
      attributes["NORMAL"] = AddFloats(vertices.normals, TINYGLTF_TYPE_VEC3, 3, false, TINYGLTF_TARGET_ARRAY_BUFFER);
    }
    if (textured) {
      attributes["TEXCOORD_0"] =
          AddFloats(vertices.texCoords, TINYGLTF_TYPE_VEC2, 2, false, TINYGLTF_TARGET_ARRAY_BUFFER);
    }
    if (!vertices.joints.empty()) {
      const int view = AddView(vertices.joints.data(), vertices.joints.size(), TINYGLTF_TARGET_ARRAY_BUFFER);
      attributes["JOINTS_0"] =
          AddAccessor(view, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, vertices.count, TINYGLTF_TYPE_VEC4);
      attributes["WEIGHTS_0"] = AddFloats(vertices.weights, TINYGLTF_TYPE_VEC4, 4, false, TINYGLTF_TARGET_ARRAY_BUFFER);
    }
    return attributes;
  }

  // The weapon goes where the preview draws it: in the right-hand bone's
  // frame, or at the origin for a character without one.
  void AddWeapon(const WeaponModelData& weapon) {
    const int mesh = AddMesh("weapon", BasicVertices(weapon.vertices), weapon.mesh);
    if (mesh < 0) return;
    const int hand = character_.weaponBoneIndex;
    const bool held = hand >= 0 && static_cast<size_t>(hand) < boneNodes_.size();
    const int node = AddNode("weapon", held ? boneNodes_[static_cast<size_t>(hand)] : root_);
    model_.nodes[static_cast<size_t>(node)].mesh = mesh;
  }

  // ---- animations

  // Each bone driven by a track (the track the preview binds to it) gets a
  // channel for each part its key type names; bones without one keep their
  // model pose, as in the preview. The animation lasts as long as the
  // package says, its longest track included even if it drives no bone.
  void AddAnimation(const Animation& animation) {
    std::vector<BoneChannels> bones;
    for (size_t bone = 0; bone < boneNodes_.size(); ++bone) {
      const BoneTrack* track = TrackOfBone(animation, character_, static_cast<int>(bone));
      if (track == nullptr) continue;
      BoneChannels channels{boneNodes_[bone], KeyTypeHas(track->keyType, 1, 'R'), KeyTypeHas(track->keyType, 2, 'T'),
                            KeyTypeHas(track->keyType, 3, 'S'), SamplesOf(*track)};
      if (channels.samples.keys.empty() || !(channels.rotation || channels.translation || channels.scale)) continue;
      bones.push_back(std::move(channels));
    }
    float length = AnimationLength(animation);
    if (!std::isfinite(length) || length < 0.0f) length = 0.0f;
    HoldUntil(bones, length);
    if (bones.empty()) return;

    tinygltf::Animation gltf;
    gltf.name = Latin1ToUtf8(NameText(animation.name));
    for (const BoneChannels& channels : bones) {
      const TrackSamples& samples = channels.samples;
      const int input = AddFloats(samples.times, TINYGLTF_TYPE_SCALAR, 1, true);
      std::vector<float> rotations, translations, scales;
      for (const KeyFrame& key : samples.keys) {
        const std::array<double, 4> q =
            UnitRotation({key.rotation[0], key.rotation[1], key.rotation[2], key.rotation[3]});
        for (double value : q) rotations.push_back(static_cast<float>(value));
        for (float value : key.translation) translations.push_back(Finite(value));
        for (float value : key.scale) scales.push_back(Finite(value));
      }
      if (channels.rotation) AddChannel(gltf, channels.node, "rotation", input, rotations, TINYGLTF_TYPE_VEC4, 4);
      if (channels.translation) {
        AddChannel(gltf, channels.node, "translation", input, translations, TINYGLTF_TYPE_VEC3, 3);
      }
      if (channels.scale) AddChannel(gltf, channels.node, "scale", input, scales, TINYGLTF_TYPE_VEC3, 3);
    }
    model_.animations.push_back(gltf);
  }

  // The animation's duration is its last key's time: when the bones' keys
  // end earlier, the track ending last holds its last key until then; with
  // no bone driven at all, the first bone holds its model rotation.
  void HoldUntil(std::vector<BoneChannels>& bones, float length) {
    if (bones.empty()) {
      if (boneNodes_.empty()) return;
      const Quaternion rotation = QuaternionFromMatrix(character_.boneRotation[0]);
      const KeyFrame key{{rotation.x, rotation.y, rotation.z, rotation.w}, {}, {}, length};
      BoneChannels hold{boneNodes_[0], true, false, false, {}};
      hold.samples.Add(key, length);
      bones.push_back(hold);
      return;
    }
    BoneChannels* last = &bones[0];
    for (BoneChannels& channels : bones) {
      if (channels.samples.times.back() > last->samples.times.back()) last = &channels;
    }
    if (last->samples.times.back() < length) last->samples.Add(last->samples.keys.back(), length);
  }

  void AddChannel(tinygltf::Animation& animation, int node, const char* path, int input,
                  const std::vector<float>& values, int type, size_t components) {
    tinygltf::AnimationSampler sampler;
    sampler.input = input;
    sampler.output = AddFloats(values, type, components, false);
    sampler.interpolation = "LINEAR";
    animation.samplers.push_back(sampler);
    tinygltf::AnimationChannel channel;
    channel.sampler = static_cast<int>(animation.samplers.size()) - 1;
    channel.target_node = node;
    channel.target_path = path;
    animation.channels.push_back(channel);
  }

  const GltfExportInput& input_;
  const SkinnedModelData& character_;
  tinygltf::Model model_;
  int root_ = -1;
  std::vector<int> boneNodes_;                                    // per posable bone
  std::map<const TextureImage*, std::pair<int, bool>> textures_;  // glTF texture (or -1), translucent
  std::map<const TextureImage*, int> materials_;
};

}  // namespace

bool CanExportCharacter(const SkinnedModelData& character) {
  return character.hasVertexBuffer && !character.vertices.empty() && PosableBoneCount(character) > 0;
}

std::vector<uint8_t> ExportGlb(const GltfExportInput& input) {
  if (!CanExportCharacter(input.character)) return {};
  return GltfBuilder(input).Build();
}

}  // namespace zam
