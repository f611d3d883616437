// Loading characters from the size of a small one to game size (1,000,
// 7,800 and 30,000 vertices, 32 bones, four 256x256 textures) and the demo
// weapon, as the editor does on every Load Model and Arm Weapon command.
// Each character load carries its ratio to a plain copy of the bytes it
// was given, measured in the same run ("xCopy"): the DFF alone without a
// dictionary, the DFF and the TXD together with one.

#include <benchmark/benchmark.h>
#include <time.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "base/messages.h"
#include "demo_models.h"
#include "model/skinned_model_loader.h"
#include "model/weapon_model_loader.h"

namespace {

#if defined(__GLIBC__)
// As in ifp_bench: keep freed memory in the process, so that the steady
// loads and copies measure the code rather than the kernel's page faults.
// BM_LoadSkinnedModelFresh measures a load into memory never touched.
const int kKeepFreedMemory = mallopt(M_TRIM_THRESHOLD, 1 << 30) + mallopt(M_MMAP_THRESHOLD, 1 << 30);
#endif

constexpr int kBones = 32;

struct ModelFiles {
  std::vector<uint8_t> dff, txd;
  std::vector<uint8_t> dffAndTxd;  // the copy anchor of a load with the dictionary
};

const ModelFiles& Character(int vertices) {
  static std::map<int, ModelFiles> files;
  ModelFiles& built = files[vertices];
  if (built.dff.empty()) {
    built.dff = zam::gen::BuildCharacterDff(zam::gen::LargeCharacter(vertices, kBones));
    built.txd = zam::gen::BuildTxd(zam::gen::LargeCharacterTextures());
    built.dffAndTxd = built.dff;
    built.dffAndTxd.insert(built.dffAndTxd.end(), built.txd.begin(), built.txd.end());
  }
  return built;
}

int VerticesOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }
bool TexturedOf(const benchmark::State& state) { return state.range(1) != 0; }

// The bytes a load of this benchmark is measured against.
const std::vector<uint8_t>& AnchorOf(const benchmark::State& state) {
  const ModelFiles& files = Character(VerticesOf(state));
  return TexturedOf(state) ? files.dffAndTxd : files.dff;
}

std::string Label(const benchmark::State& state) {
  const ModelFiles& files = Character(VerticesOf(state));
  std::string dff = std::to_string(files.dff.size() / 1024) + " KiB";
  if (!TexturedOf(state)) return "untextured, anchor DFF " + dff;
  return "with dictionary, anchor DFF " + dff + " + TXD " + std::to_string(files.txd.size() / 1024) + " KiB";
}

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The reference: copying the bytes into a new buffer, nothing else.
void CopyOnce(const std::vector<uint8_t>& bytes) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size()]);
  std::memcpy(copy.get(), bytes.data(), bytes.size());
  benchmark::DoNotOptimize(copy.get());
  benchmark::ClobberMemory();
}

// CPU seconds of one copy, averaged over a tenth of a second's worth. The
// copies run in doubling batches between readings of the clock, whose call
// takes about as long as copying the smallest file.
double CopySeconds(const std::vector<uint8_t>& bytes) {
  int runs = 0;
  double start = ThreadCpuSeconds(), elapsed = 0.0;
  for (int batch = 1; elapsed < 0.1; batch *= 2, elapsed = ThreadCpuSeconds() - start) {
    for (int i = 0; i < batch; ++i) CopyOnce(bytes);
    runs += batch;
  }
  return elapsed / runs;
}

// Runs `once` for the benchmark's iterations and reports bytes per second
// of the anchor and the ratio of its CPU time to the anchor's copy.
template <typename Once>
void RunAgainstCopy(benchmark::State& state, Once once) {
  const std::vector<uint8_t>& anchor = AnchorOf(state);
  double start = ThreadCpuSeconds();
  for (auto _ : state) once();
  double perIteration = (ThreadCpuSeconds() - start) / static_cast<double>(state.iterations());
  state.counters["xCopy"] = perIteration / CopySeconds(anchor);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * anchor.size()));
  state.SetLabel(Label(state));
}

zam::ModelLoadResult Load(const benchmark::State& state, zam::SkinnedModelData& model) {
  const ModelFiles& files = Character(VerticesOf(state));
  return zam::LoadSkinnedModel(files.dff.data(), files.dff.size(), TexturedOf(state) ? files.txd.data() : nullptr,
                               files.txd.size(), model);
}

// The editor keeps one character model that every load overwrites.
void BM_LoadSkinnedModel(benchmark::State& state) {
  zam::SkinnedModelData model;
  if (!Load(state, model).ok) {
    state.SkipWithError(zam::MessageText(Load(state, model).message));
    return;
  }
  RunAgainstCopy(state, [&] {
    Load(state, model);
    benchmark::DoNotOptimize(model.vertices.data());
  });
}

void BM_PlainCopy(benchmark::State& state) {
  const std::vector<uint8_t>& anchor = AnchorOf(state);
  RunAgainstCopy(state, [&] { CopyOnce(anchor); });
}

// A load into a new model each time; its arrays take memory the previous
// load has just given back.
void BM_LoadSkinnedModelFresh(benchmark::State& state) {
  RunAgainstCopy(state, [&] {
    zam::SkinnedModelData model;
    Load(state, model);
    benchmark::DoNotOptimize(model.vertices.data());
  });
}

void BM_LoadWeaponModel(benchmark::State& state) {
  static const ModelFiles files{zam::gen::BuildWeaponDff(zam::gen::DemoWeapon()),
                                zam::gen::BuildTxd(zam::gen::DemoWeaponTextures()), {}};
  for (auto _ : state) {
    zam::WeaponModelData model;
    zam::LoadWeaponModel(files.dff.data(), files.dff.size(), files.txd.data(), files.txd.size(), model);
    benchmark::DoNotOptimize(model.vertices.data());
  }
}

void SizesWithAndWithoutDictionary(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgNames({"vertices", "txd"})->ArgsProduct({{1000, 7800, 30000}, {0, 1}})->Unit(benchmark::kMicrosecond);
}

}  // namespace

BENCHMARK(BM_LoadSkinnedModel)->Apply(SizesWithAndWithoutDictionary);
BENCHMARK(BM_PlainCopy)->Apply(SizesWithAndWithoutDictionary);
BENCHMARK(BM_LoadSkinnedModelFresh)->Args({30000, 1})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadWeaponModel)->Unit(benchmark::kMicrosecond);
