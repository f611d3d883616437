// libFuzzer entry: any DFF and TXD through the weapon loader, then the
// mesh's promises to the renderer.

#include <cstddef>
#include <cstdint>

#include "model/weapon_model_loader.h"
#include "model_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zam::fuzz::ModelInput input(data, size);
  zam::WeaponModelData model;
  zam::ModelLoadResult result =
      zam::LoadWeaponModel(input.dff.data(), input.dff.size(), input.Dictionary(), input.txd.size(), model);
  zam::fuzz::Require(result.ok == model.hasVertexBuffer && result.ok == (result.message == zam::Message::None));
  zam::fuzz::CheckMesh(model.mesh, model.vertices.size());
  return 0;
}
