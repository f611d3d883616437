#pragma once
// The preview's fixed line geometry (ground grid, axes, bone pyramid), which
// runs of it a frame draws, the display options, and where each bone's
// pyramid points.

#include <array>
#include <cstdint>
#include <vector>

#include "anim/anim_package.h"
#include "math/types.h"
#include "model/model_data.h"
#include "preview/preview_options.h"

namespace zam {

inline constexpr uint32_t kLineVertexFvf = 0x42;  // XYZ | DIFFUSE

struct LineVertex {
  float x, y, z;
  uint32_t color;  // 0xAARRGGBB
};
static_assert(sizeof(LineVertex) == 16, "the 0x42 vertex layout");

inline constexpr int kGridVertexCount = 44;  // 22 lines
inline constexpr int kAxisVertexCount = 12;  // 6 lines
inline constexpr int kPyramidVertexCount = 5;
inline constexpr int kPyramidTipVertex = 4;
inline constexpr int kPyramidLineCount = 8;

// Line-list indices of the pyramid: four edges from the base to the tip, then
// the base square.
inline constexpr std::array<uint16_t, 16> kPyramidIndices = {0, 4, 1, 4, 2, 4, 3, 4, 0, 1, 1, 2, 2, 3, 3, 0};

// A leaf bone's pyramid points this way along its own X axis.
inline constexpr Vec3 kLeafPyramidTip{0.05f, 0.0f, 0.0f};

struct PreviewLines {
  std::array<LineVertex, kGridVertexCount> grid;
  std::array<LineVertex, kAxisVertexCount> axes;
  std::array<LineVertex, kPyramidVertexCount> pyramid;  // the tip is moved before each draw
};

// The grid in the plane z = -1 (lines along Y for x = -5..5, then along X for
// y = -5..5), the axes through (0, 0, -1) (X, Y, Z, each a bright half toward
// +, a dark half toward -), and the pyramid with its tip at the origin.
PreviewLines MakePreviewLines();

enum class LineSet { Grid, Axes };

struct LineRun {
  LineSet set;
  int firstVertex;
  int lineCount;
};

struct LineRuns {
  std::array<LineRun, 5> runs;
  int count = 0;
};

// The line lists to draw for the grid and axes. With the axes shown the
// grid's two centre lines are left out, since the axes lie on them.
LineRuns GridAndAxisRuns(bool showMesh, bool showAxis);

// One pyramid of the skeleton: drawn with `boneMatrices[bone]` as world
// matrix, its tip at `tip` in that bone's frame.
struct BonePyramid {
  int bone;
  Vec3 tip;
};

// Where the pyramid from a bone to its child `child` points: the child's
// model offset, or, when `animation` has tracks, the translation of key 1 of
// the last translating track of the child's id (key 0 when it has one key,
// the model offset when it has none). A child the model does not hold gives
// the bone's own origin.
Vec3 PyramidTip(const SkinnedModelData& model, const Animation* animation, int child);

// Every pyramid of the skeleton in drawing order: per bone, one toward each
// child, or a short spike along X for a leaf. `out` is cleared and refilled;
// it allocates only when it grows.
void CollectBonePyramids(const SkinnedModelData& model, const Animation* animation, std::vector<BonePyramid>& out);

// All the pyramids as one indexed line list in model space: each pyramid's
// vertices (`pyramid`, with the tip moved to the pyramid's tip) transformed
// by its bone's matrix, so the skeleton is drawn in one call. The vectors
// are cleared and refilled; they allocate only when they grow. Pyramids
// beyond what 16-bit indices reach are left out.
void BuildPyramidLines(const std::array<LineVertex, kPyramidVertexCount>& pyramid,
                       const std::vector<BonePyramid>& pyramids, const std::vector<Matrix4>& boneMatrices,
                       std::vector<LineVertex>& vertices, std::vector<uint16_t>& indices);

}  // namespace zam
