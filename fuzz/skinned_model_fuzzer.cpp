// libFuzzer entry: any DFF and TXD through the character loader, then the
// bone table's and the skin's promises to pose evaluation and the renderer.

#include <cstddef>
#include <cstdint>

#include "model/skinned_model_loader.h"
#include "model_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using zam::fuzz::Require;
  zam::fuzz::ModelInput input(data, size);
  zam::SkinnedModelData model;
  zam::ModelLoadResult result =
      zam::LoadSkinnedModel(input.dff.data(), input.dff.size(), input.Dictionary(), input.txd.size(), model);
  Require(result.ok == model.hasVertexBuffer && result.ok == (result.message == zam::Message::None));

  size_t bones = static_cast<size_t>(model.boneCount);
  Require(model.boneNames.size() == bones && model.boneIds.size() == bones && model.boneParent.size() == bones &&
          model.inverseBindMatrices.size() == bones && model.boneNodeIndex.size() == bones);
  if (result.ok) {
    Require(bones >= 1);
    for (size_t b = 0; b < bones; ++b) {
      Require(model.boneParent[b] >= -1 && model.boneParent[b] < static_cast<int32_t>(b));
      Require(model.boneNodeIndex[b] >= 0 && model.boneNodeIndex[b] < model.boneCount);
      Require(model.boneNames[b].size() <= 23);
    }
    for (const zam::SkinnedVertex& v : model.vertices) {
      for (uint8_t index : v.boneIndices) Require(index < bones);
    }
  }
  Require(model.weaponBoneIndex >= -1 && model.weaponBoneIndex < model.boneCount);
  zam::fuzz::CheckMesh(model.mesh, model.vertices.size());
  return 0;
}
