// Reading and writing a package shaped like the game's largest, in both
// layouts, against a plain copy of the same bytes as the reference.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "sample_packages.h"

namespace {

#if defined(__GLIBC__)
// Each read allocates about 60 MB of key records and frees them again, and
// each write and copy a buffer of the file's size. By default glibc maps such
// memory fresh from the system and hands it back at once, so every iteration
// would mostly measure the kernel's page faults; keeping freed memory in the
// process measures the code, as in an editor that releases one package and
// reads the next. Set ZAM_BENCH_COLD=1 to measure with fresh pages instead.
const int kKeepFreedMemory = std::getenv("ZAM_BENCH_COLD")
                                  ? 0
                                  : mallopt(M_TRIM_THRESHOLD, 1 << 30) + mallopt(M_MMAP_THRESHOLD, 1 << 30);
#endif

const std::vector<uint8_t>& LargeFile(uint32_t format) {
  static std::vector<uint8_t> anpk, anp3;
  std::vector<uint8_t>& bytes = format == zam::kFormatANPK ? anpk : anp3;
  if (bytes.empty()) zam::WriteIfp(zam::gen::MakePackage(zam::gen::LargeGameShape(format)), bytes);
  return bytes;
}

uint32_t FormatOf(const benchmark::State& state) {
  return state.range(0) == 0 ? zam::kFormatANPK : zam::kFormatANP3;
}

void BM_ReadIfp(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = LargeFile(FormatOf(state));
  for (auto _ : state) {
    zam::AnimPackage package{};
    zam::ReadIfp(bytes.data(), bytes.size(), package);
    benchmark::DoNotOptimize(package.animations.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.SetLabel(zam::FourCCText(FormatOf(state)) + " " + std::to_string(bytes.size() / 1024) + " KiB");
}

void BM_WriteIfp(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = LargeFile(FormatOf(state));
  zam::AnimPackage package{};
  zam::ReadIfp(bytes.data(), bytes.size(), package);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    out.clear();
    zam::WriteIfp(package, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.SetLabel(zam::FourCCText(FormatOf(state)));
}

// The reference: copying the file's bytes into a fresh buffer.
void BM_PlainCopy(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = LargeFile(FormatOf(state));
  for (auto _ : state) {
    std::vector<uint8_t> copy(bytes.size());
    std::memcpy(copy.data(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.SetLabel(zam::FourCCText(FormatOf(state)));
}

BENCHMARK(BM_ReadIfp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteIfp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
