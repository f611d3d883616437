// Reading and writing packages in both layouts against a plain copy of the
// same bytes: one shaped like the game's largest (long tracks), one shaped
// like most of its packages (many short, mostly rotation-only tracks). Each
// figure carries its ratio to the copy, measured in the same run ("xCopy").
// BM_ColdReadIfp reads the real-shaped ANP3 package once in a fresh process.

#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "platform/file_system.h"
#include "platform/temp_file.h"
#include "sample_packages.h"

namespace {

#if defined(__GLIBC__)
// Each read allocates the key records and frees them again, and each write
// and copy a buffer of the file's size. By default glibc maps such memory
// fresh from the system and hands it back at once, so every iteration would
// mostly measure the kernel's page faults; keeping freed memory in the
// process measures the code, as in an editor that releases one package and
// reads the next. BM_ColdReadIfp measures the first read with fresh pages.
const int kKeepFreedMemory = mallopt(M_TRIM_THRESHOLD, 1 << 30) + mallopt(M_MMAP_THRESHOLD, 1 << 30);
#endif

enum Shape { kLargeShape, kRealShape };

const std::vector<uint8_t>& File(Shape shape, uint32_t format) {
  static std::vector<uint8_t> files[2][2];
  std::vector<uint8_t>& bytes = files[shape][format == zam::kFormatANP3];
  if (bytes.empty()) {
    zam::gen::PackageShape packageShape =
        shape == kLargeShape ? zam::gen::LargeGameShape(format) : zam::gen::RealGameShape(format);
    zam::WriteIfp(zam::gen::MakePackage(packageShape), bytes);
  }
  return bytes;
}

Shape ShapeOf(const benchmark::State& state) { return state.range(0) == 0 ? kLargeShape : kRealShape; }
uint32_t FormatOf(const benchmark::State& state) { return state.range(1) == 0 ? zam::kFormatANPK : zam::kFormatANP3; }
const std::vector<uint8_t>& FileOf(const benchmark::State& state) { return File(ShapeOf(state), FormatOf(state)); }

std::string Label(const benchmark::State& state) {
  return std::string(ShapeOf(state) == kLargeShape ? "large " : "real-shaped ") + zam::FourCCText(FormatOf(state)) +
         " " + std::to_string(FileOf(state).size() / 1024) + " KiB";
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

// CPU seconds of one copy, averaged over a tenth of a second's worth.
double CopySeconds(const std::vector<uint8_t>& bytes) {
  int runs = 0;
  double start = ThreadCpuSeconds(), elapsed = 0.0;
  for (; elapsed < 0.1; elapsed = ThreadCpuSeconds() - start, ++runs) CopyOnce(bytes);
  return elapsed / runs;
}

// Runs `once` for the benchmark's iterations and reports bytes per second
// and the ratio of its CPU time to the copy's.
template <typename Once>
void RunAgainstCopy(benchmark::State& state, Once once) {
  const std::vector<uint8_t>& bytes = FileOf(state);
  double start = ThreadCpuSeconds();
  for (auto _ : state) once();
  double perIteration = (ThreadCpuSeconds() - start) / static_cast<double>(state.iterations());
  state.counters["xCopy"] = perIteration / CopySeconds(bytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.SetLabel(Label(state));
}

void BM_ReadIfp(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = FileOf(state);
  RunAgainstCopy(state, [&] {
    zam::AnimPackage package{};
    zam::ReadIfp(bytes.data(), bytes.size(), package);
    benchmark::DoNotOptimize(package.animations.data());
  });
}

void BM_WriteIfp(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = FileOf(state);
  zam::AnimPackage package{};
  zam::ReadIfp(bytes.data(), bytes.size(), package);
  std::vector<uint8_t> out;
  RunAgainstCopy(state, [&] {
    out.clear();
    zam::WriteIfp(package, out);
    benchmark::DoNotOptimize(out.data());
  });
}

void BM_PlainCopy(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = FileOf(state);
  RunAgainstCopy(state, [&] { CopyOnce(bytes); });
}

// Each iteration starts ifp_cold_read on the real-shaped ANP3 package and
// takes the CPU time it reports for its one read.
void BM_ColdReadIfp(benchmark::State& state) {
  const std::vector<uint8_t>& bytes = FileOf(state);
  zam::TempFile file = zam::TempFile::Create("ifp");
  if (!file.IsOpen() || !file.file().Write(bytes.data(), bytes.size())) {
    state.SkipWithError("cannot write the package to a temporary file");
    return;
  }
  file.file().Close();
  std::string command = std::string(ZAM_COLD_READ_PROGRAM) + " '" + file.path() + "'";
  for (auto _ : state) {
    FILE* child = popen(command.c_str(), "r");
    long long nanoseconds = -1;
    if (child == nullptr || std::fscanf(child, "%lld", &nanoseconds) != 1 || pclose(child) != 0) {
      state.SkipWithError("ifp_cold_read failed");
      return;
    }
    state.SetIterationTime(static_cast<double>(nanoseconds) * 1e-9);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.SetLabel(Label(state) + ", fresh process");
}

void BothShapesAndLayouts(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgsProduct({{kLargeShape, kRealShape}, {0, 1}})->Unit(benchmark::kMillisecond);
}

// The fresh process first, before this one holds the memory of the others
// (and the kernel works on it in the background).
BENCHMARK(BM_ColdReadIfp)->Args({kRealShape, 1})->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadIfp)->Apply(BothShapesAndLayouts);
BENCHMARK(BM_WriteIfp)->Apply(BothShapesAndLayouts);
BENCHMARK(BM_PlainCopy)->Apply(BothShapesAndLayouts);

}  // namespace
