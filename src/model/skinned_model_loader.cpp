#include "model/skinned_model_loader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "base/text.h"
#include "model/rw_chunk.h"
#include "model/rw_geometry.h"
#include "model/rw_load.h"

namespace zam {
namespace {

// Frame names live in 24-byte fields: 23 characters and the terminating zero.
constexpr size_t kFrameNameField = 24;
constexpr uint64_t kFrameRecordSize = 56;  // 3x3 rotation, position, parent index, flags
constexpr uint64_t kHAnimNodeSize = 12;    // node ID, node index, flags

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

class SkinnedModelParser {
 public:
  SkinnedModelParser(RwLoad& load, SkinnedModelData& model) : load_(load), dff_(load.dff), model_(model) {}

  void Parse() {
    size_t geometryBody = 0;
    GeometryVertexArrays arrays;
    if (!ReadBones() || !ReadFrameTransforms() || !FindGeometry(geometryBody) ||
        !FindGeometryVertices(load_, geometryBody, arrays)) {
      model_.vertices.clear();  // the previous model's
      return;
    }
    SkinArrays skin;
    bool complete = ReadGeometryMaterials(load_, geometryBody, model_.mesh) &&
                    ReadGeometryIndices(load_, geometryBody, arrays.count, model_.mesh) &&
                    ReadSkin(geometryBody, arrays.count, skin);
    // The records are written in one pass after the last check, the skin's
    // fields with them; a load that failed after the vertex arrays keeps
    // its vertices, unskinned.
    BuildVertices(arrays, complete ? skin : SkinArrays{});
    model_.hasVertexBuffer = complete;
  }

 private:
  // The SkinPLG's per-vertex arrays: four bone indices (4 bytes) and four
  // weights (16 bytes) a vertex, or zeros when the skin was not read.
  struct SkinArrays {
    VertexArray boneIndices, weights;
  };

  bool FindFrameList() {
    dff_.SeekTo(0);
    RwSection clump;
    if (!load_.Find(dff_, kRwClump, Message::RwClumpNotFound, &clump)) return false;
    model_.libraryStamp = RwLoad::StampOf(dff_, clump);
    return load_.Find(dff_, kRwFrameList, Message::RwFrameListNotFound);
  }

  // The next frame's Extension and the HAnimPLG in it, checked to hold
  // `needed` bytes, with the reader at its body. Exporters write a frame's
  // plugin sections in either order, so each is looked for among the
  // Extension's children only.
  bool FindFrameHAnim(uint64_t needed, RwSection& extension, RwSection& hanim) {
    return load_.Find(dff_, kRwExtension, Message::RwFrameExtensionNotFound, &extension) &&
           load_.FindIn(dff_, extension, kRwHAnimPlg, Message::RwHAnimNotFound, &hanim) &&
           load_.Holds(dff_, hanim, needed, Message::RwHAnimDamaged);
  }

  // The name section of the frame whose Extension and HAnimPLG are given; the
  // name is the body up to its first zero byte. It is looked for after the
  // HAnimPLG first, where the game's own files have it, then from the
  // Extension's start. Leaves the reader after the Extension.
  bool ReadBoneName(const RwSection& extension, const RwSection& hanim, size_t bone) {
    RwSection frame;
    dff_.SeekTo(hanim.body + hanim.size);
    const int64_t afterHAnim = FindChunkBefore(dff_, kRwFrameName, extension.body + extension.size);
    if (afterHAnim >= 0) {
      frame = RwSection{dff_.Position(), static_cast<uint32_t>(afterHAnim)};
    } else if (!load_.FindIn(dff_, extension, kRwFrameName, Message::RwFrameNameNotFound, &frame)) {
      return false;
    }
    char field[kFrameNameField] = {};
    size_t stored = frame.size < kFrameNameField ? frame.size : kFrameNameField;
    dff_.ReadBytes(field, stored);
    size_t length = 0;
    while (length < stored && field[length] != '\0') ++length;
    if (length == kFrameNameField) return load_.Fail(Message::RwFrameNameTooLong);
    dff_.SeekTo(extension.body + extension.size);
    model_.boneNames[bone] = NormaliseBoneName(std::string_view(field, length));
    return true;
  }

  bool ReadBones() {
    RwSection rootExtension, extension, hanim;
    if (!FindFrameList() || !load_.Find(dff_, kRwExtension, Message::RwFrameExtensionNotFound, &rootExtension)) {
      return false;
    }
    dff_.Skip(rootExtension.size);  // frame 0, the Clump's root, is no bone
    if (!FindFrameHAnim(20, extension, hanim)) return false;
    dff_.Skip(8);  // HAnim version, this frame's node ID
    int32_t nodeCount = dff_.Read<int32_t>();
    dff_.Skip(8);  // flags, key frame size
    if (nodeCount < 1 || !load_.Holds(dff_, hanim, kHAnimNodeSize * static_cast<uint64_t>(nodeCount),
                                      Message::RwHAnimDamaged)) {
      return load_.Fail(Message::RwHAnimDamaged);
    }
    size_t count = static_cast<size_t>(nodeCount);
    model_.boneCount = nodeCount;
    model_.boneNames.assign(count, std::string());
    model_.boneIds.assign(count, 0);
    model_.boneNodeIndex.assign(count, 0);
    model_.boneRotation.assign(count, Matrix4{});
    model_.bonePosition.assign(count, Vec3{});
    model_.boneParent.assign(count, 0);
    model_.inverseBindMatrices.assign(count, Matrix4{});
    model_.weaponBoneIndex = -1;

    // (ID, node) pairs in order: the last pair of an ID holds the last node
    // carrying it, the one a frame's ID refers to. One sorted array instead
    // of a hash map spares an allocation per node.
    std::vector<std::pair<int32_t, int32_t>> nodeOfId(count);
    for (size_t node = 0; node < count; ++node) {
      model_.boneIds[node] = dff_.Read<int32_t>();
      dff_.Skip(8);  // node index, flags
      nodeOfId[node] = {model_.boneIds[node], static_cast<int32_t>(node)};
    }
    std::sort(nodeOfId.begin(), nodeOfId.end());
    // Bone 0's node index stays 0: its ID is the first entry of the table.
    if (!ReadBoneName(extension, hanim, 0)) return false;

    for (size_t bone = 1; bone < count; ++bone) {
      if (!FindFrameHAnim(12, extension, hanim)) return false;
      dff_.Skip(4);  // HAnim version
      int32_t id = dff_.Read<int32_t>();
      auto after = std::upper_bound(nodeOfId.begin(), nodeOfId.end(), std::make_pair(id, INT32_MAX));
      if (after != nodeOfId.begin() && std::prev(after)->first == id) {
        model_.boneNodeIndex[bone] = std::prev(after)->second;
      }
      if (!ReadBoneName(extension, hanim, bone)) return false;
      // Compared as a view: its length decides most comparisons inline.
      if (std::string_view(model_.boneNames[bone]) == kWeaponBoneName) {
        model_.weaponBoneIndex = static_cast<int32_t>(bone);
      }
    }
    return true;
  }

  bool ReadFrameTransforms() {
    RwSection frames;
    uint64_t bones = static_cast<uint64_t>(model_.boneCount);
    Message damaged = Message::RwFrameListStructDamaged;
    if (!FindFrameList() || !load_.Find(dff_, kRwStruct, Message::RwFrameListStructNotFound, &frames) ||
        !load_.Holds(dff_, frames, 4 + kFrameRecordSize * (bones + 1), damaged)) {
      return false;
    }
    if (dff_.Read<int32_t>() < model_.boneCount + int64_t{1}) return load_.Fail(damaged);
    dff_.Skip(kFrameRecordSize);  // the root frame
    // The records are taken whole (checked above) and read with copies of fixed size.
    const uint8_t* record = dff_.Take(kFrameRecordSize * bones);
    for (size_t bone = 0; bone < model_.boneNames.size(); ++bone, record += kFrameRecordSize) {
      Matrix4& rotation = model_.boneRotation[bone];
      rotation = Matrix4{};
      for (int row = 0; row < 3; ++row) std::memcpy(rotation.m[row], record + 12 * row, 3 * sizeof(float));
      rotation.m[3][3] = 1.0f;
      std::memcpy(&model_.bonePosition[bone], record + 36, sizeof(Vec3));
      int32_t parentFrame;
      std::memcpy(&parentFrame, record + 48, sizeof parentFrame);  // the matrix flags follow
      int64_t parent = int64_t{parentFrame} - 1;
      // Pose evaluation walks the bones in order: each parent must come first.
      if (parent < -1 || parent >= static_cast<int64_t>(bone)) return load_.Fail(damaged);
      model_.boneParent[bone] = static_cast<int32_t>(parent);
    }
    return true;
  }

  bool FindGeometry(size_t& geometryBody) {
    dff_.SeekTo(0);
    RwSection geometry;
    if (!load_.Find(dff_, kRwClump, Message::RwClumpNotFound) ||
        !load_.Find(dff_, kRwGeometryList, Message::RwGeometryListNotFound) ||
        !load_.Find(dff_, kRwGeometry, Message::RwGeometryNotFound, &geometry)) {
      return false;
    }
    geometryBody = geometry.body;
    return true;
  }

  // Checks the skin and reads its inverse bind matrices; the per-vertex
  // arrays are left to BuildVertices.
  bool ReadSkin(size_t geometryBody, uint64_t vertices, SkinArrays& skin) {
    Message damaged = Message::RwSkinDamaged;
    dff_.SeekTo(geometryBody);
    RwSection section;
    if (!load_.Find(dff_, kRwExtension, Message::RwGeometryExtensionNotFound) ||
        !load_.Find(dff_, kRwSkinPlg, Message::RwSkinNotFound, &section) || !load_.Holds(dff_, section, 4, damaged)) {
      return false;
    }
    dff_.Skip(1);  // bone count
    uint8_t usedBones = dff_.Read<uint8_t>();
    uint8_t maxWeights = dff_.Read<uint8_t>();
    dff_.Skip(1);
    // Libraries before 3.7 write an unused word before each matrix when the
    // maximum weight count is 0, as the characters of the earlier games have it.
    const uint64_t matrixRecord = maxWeights == 0 ? 4 + sizeof(Matrix4) : sizeof(Matrix4);
    uint64_t needed = usedBones + 20 * vertices + matrixRecord * static_cast<uint64_t>(model_.boneCount);
    if (!load_.Holds(dff_, section, needed, damaged)) return false;
    dff_.Skip(usedBones);
    // The arrays and matrices are taken whole: the bytes were checked above.
    const uint8_t* boneIndices = dff_.Take(4 * vertices);
    skin.boneIndices = VertexArray{boneIndices, 4};
    skin.weights = VertexArray{dff_.Take(16 * vertices), 16};  // the fourth of each is derived by the blending
    // Every index must name a node: the largest byte of the array decides,
    // found in one pass the compiler turns into vector instructions.
    uint8_t largest = 0;
    for (size_t i = 0; i < 4 * vertices; ++i) largest = boneIndices[i] > largest ? boneIndices[i] : largest;
    if (largest >= model_.boneCount) return load_.Fail(damaged);
    const uint8_t* record = dff_.Take(matrixRecord * model_.inverseBindMatrices.size());
    for (Matrix4& inverse : model_.inverseBindMatrices) {
      std::memcpy(&inverse, record + (matrixRecord - sizeof inverse), sizeof inverse);
      record += matrixRecord;
      // The file carries other values in the fourth column.
      inverse.m[0][3] = inverse.m[1][3] = inverse.m[2][3] = 0.0f;
      inverse.m[3][3] = 1.0f;
    }
    return true;
  }

  // One record per vertex, every field written: the records a previous
  // load left in the array are overwritten, and only new ones zero-filled.
  void BuildVertices(GeometryVertexArrays arrays, SkinArrays skin) {
    static_assert(sizeof(SkinnedVertex) == sizeof(SkinnedVertex::position) + sizeof(SkinnedVertex::blendWeights) +
                                               sizeof(SkinnedVertex::boneIndices) + sizeof(SkinnedVertex::normal) +
                                               sizeof(SkinnedVertex::texCoord),
                  "every byte of a record is one of the fields copied below");
    model_.vertices.resize(arrays.count);
    for (SkinnedVertex& vertex : model_.vertices) {
      CopyGeometryVertex(arrays, vertex);
      std::memcpy(vertex.blendWeights, skin.weights.Next(), sizeof vertex.blendWeights);
      std::memcpy(vertex.boneIndices, skin.boneIndices.Next(), sizeof vertex.boneIndices);
    }
  }

  RwLoad& load_;
  ByteReader& dff_;
  SkinnedModelData& model_;
};

}  // namespace

// The prefixes are found in the stored name, ignoring case, so that the
// name is built once, from what remains.
std::string NormaliseBoneName(std::string_view frameName) {
  std::string_view rest = frameName;
  if (StartsWithIgnoringAsciiCase(rest, " ")) rest.remove_prefix(1);
  static constexpr std::string_view kPrefixes[] = {"root ", "normal ", "fat ", "ripped "};
  for (std::string_view prefix : kPrefixes) {
    if (StartsWithIgnoringAsciiCase(rest, prefix)) rest.remove_prefix(prefix.size());
  }
  std::string name(rest);
  for (char& c : name) c = AsciiLower(c);
  return name;
}

ModelLoadResult LoadSkinnedModel(const uint8_t* dff, size_t dffSize, const uint8_t* txd, size_t txdSize,
                                 SkinnedModelData& model) {
  // A new load never mixes with the previous model: its bone table and
  // vertices would not agree. The vertex array keeps its memory and its
  // records, which the parser overwrites whole or drops, so that loading
  // into the editor's one model again neither allocates nor zero-fills them.
  std::vector<SkinnedVertex> vertices = std::move(model.vertices);
  model = SkinnedModelData{};
  model.vertices = std::move(vertices);
  RwLoad load(dff, dffSize, txd, txdSize);
  SkinnedModelParser(load, model).Parse();
  return load.Result();
}

}  // namespace zam
