// Loading a character of game size (30,000 vertices, 32 bones, four
// 256x256 textures) and the demo weapon, as the editor does on every Load
// Model and Arm Weapon command.

#include <benchmark/benchmark.h>

#include <vector>

#include "base/messages.h"
#include "demo_models.h"
#include "model/skinned_model_loader.h"
#include "model/weapon_model_loader.h"

namespace {

constexpr int kVertices = 30000;
constexpr int kBones = 32;

struct ModelFiles {
  std::vector<uint8_t> dff, txd;
};

const ModelFiles& LargeCharacter() {
  static const ModelFiles files{zam::gen::BuildCharacterDff(zam::gen::LargeCharacter(kVertices, kBones)),
                                zam::gen::BuildTxd(zam::gen::LargeCharacterTextures())};
  return files;
}

// The editor keeps one character model that every load overwrites.
void BM_LoadSkinnedModel(benchmark::State& state) {
  const ModelFiles& files = LargeCharacter();
  bool textured = state.range(0) != 0;
  zam::SkinnedModelData model;
  for (auto _ : state) {
    zam::ModelLoadResult result = zam::LoadSkinnedModel(files.dff.data(), files.dff.size(),
                                                        textured ? files.txd.data() : nullptr, files.txd.size(), model);
    if (!result.ok) state.SkipWithError(zam::MessageText(result.message));
    benchmark::DoNotOptimize(model.vertices.data());
  }
  size_t bytes = files.dff.size() + (textured ? files.txd.size() : 0);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.SetLabel(textured ? "with dictionary" : "untextured");
}

// The first load of a run: every array lands in memory the process has not
// touched yet, whose page faults dominate on some machines.
void BM_LoadSkinnedModelFresh(benchmark::State& state) {
  const ModelFiles& files = LargeCharacter();
  for (auto _ : state) {
    zam::SkinnedModelData model;
    zam::LoadSkinnedModel(files.dff.data(), files.dff.size(), files.txd.data(), files.txd.size(), model);
    benchmark::DoNotOptimize(model.vertices.data());
  }
  state.SetLabel("with dictionary, fresh model");
}

// The floor under the fresh load: allocating and zero-filling as many bytes
// as the loaded model holds, in arrays of the same sizes, and nothing else.
void BM_FreshMemoryOfTheModel(benchmark::State& state) {
  const ModelFiles& files = LargeCharacter();
  zam::SkinnedModelData loaded;
  zam::LoadSkinnedModel(files.dff.data(), files.dff.size(), files.txd.data(), files.txd.size(), loaded);
  std::vector<size_t> sizes{loaded.vertices.size() * sizeof(zam::SkinnedVertex)};
  for (const zam::MaterialMesh& material : loaded.mesh.materials) sizes.push_back(material.indices.size() * 4);
  for (const zam::TextureImage& texture : loaded.mesh.textures) sizes.push_back(texture.level0.size());
  for (auto _ : state) {
    for (size_t size : sizes) {
      std::vector<uint8_t> block(size);
      benchmark::DoNotOptimize(block.data());
    }
  }
}

void BM_LoadWeaponModel(benchmark::State& state) {
  static const ModelFiles files{zam::gen::BuildWeaponDff(zam::gen::DemoWeapon()),
                                zam::gen::BuildTxd(zam::gen::DemoWeaponTextures())};
  for (auto _ : state) {
    zam::WeaponModelData model;
    zam::LoadWeaponModel(files.dff.data(), files.dff.size(), files.txd.data(), files.txd.size(), model);
    benchmark::DoNotOptimize(model.vertices.data());
  }
}

}  // namespace

BENCHMARK(BM_LoadSkinnedModel)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSkinnedModelFresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreshMemoryOfTheModel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWeaponModel)->Unit(benchmark::kMicrosecond);
