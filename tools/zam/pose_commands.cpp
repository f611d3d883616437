// zam pose: the pose the preview would show for one animation at one time,
// as the model-space matrix of every bone and the root translation.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "anim/anim_package.h"
#include "base/messages.h"
#include "commands.h"
#include "model/model_data.h"
#include "model/skinned_model_loader.h"
#include "platform/file_system.h"
#include "preview/pose.h"

namespace zam::cli {
namespace {

constexpr char kSynopsis[] = "zam pose DFF IFP ANIMATION TIME";

bool ParseSeconds(const std::string& text, float& seconds) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  seconds = std::strtof(text.c_str(), &end);
  return end == text.c_str() + text.size() && errno == 0;
}

int FindAnimation(const AnimPackage& package, const std::string& name) {
  for (int a = 0; a < package.animationCount(); ++a) {
    if (NameText(package.animations[static_cast<size_t>(a)].name) == name) return a;
  }
  return -1;
}

std::string MatrixJson(const Matrix4& matrix) {
  std::string out = "[";
  for (int row = 0; row < 4; ++row) out += (row ? ", " : "") + JsonFloats(matrix.m[row], 4);
  return out + "]";
}

}  // namespace

int RunPose(const Args& args) {
  if (args.size() != 4) return Usage(kSynopsis);
  float time = 0.0f;
  if (!ParseSeconds(args[3], time)) return Usage(kSynopsis);

  std::vector<uint8_t> dff;
  FileResult read = ReadWholeFile(args[0], dff);
  if (!read.ok()) return FailFile(args[0], read.reason);
  SkinnedModelData model;
  // Only the bones matter here: no dictionary, so no textures are read.
  const ModelLoadResult loaded = LoadSkinnedModel(dff.data(), dff.size(), nullptr, 0, model);
  if (!loaded.ok) return Fail(MessageText(loaded.message));

  AnimPackage package{};
  if (!LoadPackage(args[1], package)) return kExitFailure;
  const std::string animationName = StoredName(args[2]);
  const int animation = FindAnimation(package, animationName);
  if (animation < 0) {
    return Fail(PrintablePath(args[1]) + ": no animation named \"" + PrintableName(animationName) + "\"");
  }

  Pose pose;
  EvaluatePose(package, animation, time, model, pose);
  std::printf("{\n  \"animation\": %s,\n  \"time\": %s,\n  \"bones\": [\n", JsonString(animationName).c_str(),
              JsonFloat(time).c_str());
  for (size_t b = 0; b < pose.boneMatrices.size(); ++b) {
    const std::string name = b < model.boneNames.size() ? model.boneNames[b] : "";
    std::printf("    {\"index\": %zu, \"name\": %s, \"matrix\": %s}%s\n", b, JsonString(name).c_str(),
                MatrixJson(pose.boneMatrices[b]).c_str(), b + 1 == pose.boneMatrices.size() ? "" : ",");
  }
  std::string root = "null";
  if (pose.rootTranslation) {
    const float translation[3] = {pose.rootTranslation->x, pose.rootTranslation->y, pose.rootTranslation->z};
    root = JsonFloats(translation, 3);
  }
  std::printf("  ],\n  \"rootTranslation\": %s\n}\n", root.c_str());
  return kExitOk;
}

}  // namespace zam::cli
