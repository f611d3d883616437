#include "preview/scene.h"

#include <cstddef>
#include <optional>

#include "math/matrix.h"
#include "preview/pose.h"

namespace zam {
namespace {

constexpr uint32_t kGridAlongYColor = 0xFF204020;
constexpr uint32_t kGridAlongXColor = 0xFF402020;
constexpr float kGridZ = -1.0f;
constexpr float kAxisReach = 7.5f;
constexpr float kPyramidBase = 0.015f;
constexpr uint32_t kPyramidBaseColor = 0x80008080;
constexpr uint32_t kPyramidTipColor = 0x8000FFFF;

struct AxisStyle {
  Vec3 plus;
  Vec3 minus;
  uint32_t bright;
  uint32_t dark;
};

}  // namespace

PreviewLines MakePreviewLines() {
  PreviewLines lines{};
  size_t v = 0;
  for (int i = -5; i <= 5; ++i) {
    const float x = static_cast<float>(i);
    lines.grid[v++] = {x, -5.0f, kGridZ, kGridAlongYColor};
    lines.grid[v++] = {x, 5.0f, kGridZ, kGridAlongYColor};
  }
  for (int i = -5; i <= 5; ++i) {
    const float y = static_cast<float>(i);
    lines.grid[v++] = {-5.0f, y, kGridZ, kGridAlongXColor};
    lines.grid[v++] = {5.0f, y, kGridZ, kGridAlongXColor};
  }

  // X and Y run through the grid's centre; Z stands on it and reaches as far
  // below as above.
  const AxisStyle axes[3] = {
      {{kAxisReach, 0.0f, kGridZ}, {-kAxisReach, 0.0f, kGridZ}, 0xFFFF0000, 0xFF800000},
      {{0.0f, kAxisReach, kGridZ}, {0.0f, -kAxisReach, kGridZ}, 0xFF00FF00, 0xFF008000},
      {{0.0f, 0.0f, kAxisReach}, {0.0f, 0.0f, -kAxisReach}, 0xFF0000FF, 0xFF000080},
  };
  const Vec3 origin{0.0f, 0.0f, kGridZ};
  v = 0;
  for (const AxisStyle& axis : axes) {
    lines.axes[v++] = {axis.plus.x, axis.plus.y, axis.plus.z, axis.bright};
    lines.axes[v++] = {origin.x, origin.y, origin.z, axis.bright};
    lines.axes[v++] = {origin.x, origin.y, origin.z, axis.dark};
    lines.axes[v++] = {axis.minus.x, axis.minus.y, axis.minus.z, axis.dark};
  }

  lines.pyramid[0] = {0.0f, kPyramidBase, 0.0f, kPyramidBaseColor};
  lines.pyramid[1] = {0.0f, 0.0f, kPyramidBase, kPyramidBaseColor};
  lines.pyramid[2] = {0.0f, -kPyramidBase, 0.0f, kPyramidBaseColor};
  lines.pyramid[3] = {0.0f, 0.0f, -kPyramidBase, kPyramidBaseColor};
  lines.pyramid[kPyramidTipVertex] = {0.0f, 0.0f, 0.0f, kPyramidTipColor};
  return lines;
}

LineRuns GridAndAxisRuns(bool showMesh, bool showAxis) {
  LineRuns result;
  auto add = [&result](LineSet set, int firstVertex, int lineCount) {
    result.runs[static_cast<size_t>(result.count++)] = {set, firstVertex, lineCount};
  };
  if (showMesh && !showAxis) add(LineSet::Grid, 0, kGridVertexCount / 2);
  if (showMesh && showAxis) {
    // Lines 5 and 16 (vertices 10-11 and 32-33) are the centre lines.
    for (int first : {0, 12, 22, 34}) add(LineSet::Grid, first, 5);
  }
  if (showAxis) add(LineSet::Axes, 0, kAxisVertexCount / 2);
  return result;
}

Vec3 PyramidTip(const SkinnedModelData& model, const Animation* animation, int child) {
  if (child < 0 || child >= PosableBoneCount(model)) return {0.0f, 0.0f, 0.0f};
  const Vec3 offset = model.bonePosition[static_cast<size_t>(child)];
  if (animation == nullptr) return offset;
  Vec3 tip = offset;
  for (const BoneTrack& track : animation->bones) {
    if (!TrackDrivesBone(track, model, child) || !KeyTypeHas(track.keyType, 2, 'T')) continue;
    if (track.keys.empty()) {
      tip = offset;
      continue;
    }
    const KeyFrame& key = track.keys[track.keys.size() >= 2 ? 1 : 0];
    tip = {key.translation[0], key.translation[1], key.translation[2]};
  }
  return tip;
}

void CollectBonePyramids(const SkinnedModelData& model, const Animation* animation, std::vector<BonePyramid>& out) {
  out.clear();
  const int boneCount = PosableBoneCount(model);
  for (int i = 0; i < boneCount; ++i) {
    bool hasChild = false;
    for (int j = 0; j < boneCount; ++j) {
      if (model.boneParent[static_cast<size_t>(j)] != i) continue;
      hasChild = true;
      out.push_back({i, PyramidTip(model, animation, j)});
    }
    if (!hasChild) out.push_back({i, kLeafPyramidTip});
  }
}

void BuildPyramidLines(const std::array<LineVertex, kPyramidVertexCount>& pyramid,
                       const std::vector<BonePyramid>& pyramids, const std::vector<Matrix4>& boneMatrices,
                       std::vector<LineVertex>& vertices, std::vector<uint16_t>& indices) {
  vertices.clear();
  indices.clear();
  for (const BonePyramid& one : pyramids) {
    if (vertices.size() + kPyramidVertexCount > 65536) break;
    if (one.bone < 0 || static_cast<size_t>(one.bone) >= boneMatrices.size()) continue;
    const Matrix4& bone = boneMatrices[static_cast<size_t>(one.bone)];
    const uint16_t first = static_cast<uint16_t>(vertices.size());
    for (int v = 0; v < kPyramidVertexCount; ++v) {
      const LineVertex& corner = pyramid[static_cast<size_t>(v)];
      const Vec3 local = v == kPyramidTipVertex ? one.tip : Vec3{corner.x, corner.y, corner.z};
      const Vec3 placed = TransformPoint(local, bone);
      vertices.push_back({placed.x, placed.y, placed.z, corner.color});
    }
    for (uint16_t index : kPyramidIndices) indices.push_back(static_cast<uint16_t>(first + index));
  }
}

}  // namespace zam
