// Reading and writing packages in both layouts against a plain copy of the
// same bytes: one shaped like the game's largest (long tracks), one shaped
// like most of its packages (many short, mostly rotation-only tracks). Each
// figure carries its ratio to the copy, measured in the same run ("xCopy").
// BM_ColdReadIfp reads each package once in a fresh process, and
// BM_DefaultAllocatorReadIfp repeatedly in a process that leaves the C
// library's allocator as it comes; the others keep freed memory (below).

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
// Each write and copy allocates a buffer of the file's size and frees it
// again (a read keeps its key memory for the next by itself). By default
// glibc maps such memory fresh from the system and hands it back at once, so
// every iteration would mostly measure the kernel's page faults; keeping
// freed memory in the process measures the code. BM_ColdReadIfp and
// BM_DefaultAllocatorReadIfp measure reads without this setting.
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

// CPU seconds of one copy, averaged over a tenth of a second's worth, after
// one that brings the memory for it into the process.
double CopySeconds(const std::vector<uint8_t>& bytes) {
  CopyOnce(bytes);
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

// Each iteration starts ifp_cold_read on the package, in a fresh process with
// the C library's allocator as it comes, and takes the CPU time it reports:
// of its first read, or with `reads` more, of their median.
void RunInFreshProcess(benchmark::State& state, int reads, const char* what) {
  const std::vector<uint8_t>& bytes = FileOf(state);
  zam::TempFile file = zam::TempFile::Create("ifp");
  if (!file.IsOpen() || !file.file().Write(bytes.data(), bytes.size())) {
    state.SkipWithError("cannot write the package to a temporary file");
    return;
  }
  file.file().Close();
  std::string command = std::string(ZAM_COLD_READ_PROGRAM) + " '" + file.path() + "' " + std::to_string(reads);
  double total = 0.0;
  for (auto _ : state) {
    FILE* child = popen(command.c_str(), "r");
    long long first = -1, median = -1;
    if (child == nullptr || std::fscanf(child, "%lld %lld", &first, &median) != (reads > 0 ? 2 : 1) ||
        pclose(child) != 0) {
      state.SkipWithError("ifp_cold_read failed");
      return;
    }
    double seconds = static_cast<double>(reads > 0 ? median : first) * 1e-9;
    state.SetIterationTime(seconds);
    total += seconds;
  }
  state.counters["xCopy"] = total / static_cast<double>(state.iterations()) / CopySeconds(bytes);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
  state.SetLabel(Label(state) + ", " + what);
}

// The first read in a fresh process.
void BM_ColdReadIfp(benchmark::State& state) { RunInFreshProcess(state, 0, "fresh process"); }

// Reads repeated in one process, as BM_ReadIfp, but with the allocator's own settings.
void BM_DefaultAllocatorReadIfp(benchmark::State& state) {
  RunInFreshProcess(state, 15, "default allocator");
}

void BothShapesAndLayouts(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgsProduct({{kLargeShape, kRealShape}, {0, 1}})->Unit(benchmark::kMillisecond);
}

// The fresh processes first, before this one holds the memory of the others
// (and the kernel works on it in the background).
BENCHMARK(BM_ColdReadIfp)->Apply(BothShapesAndLayouts)->UseManualTime()->Iterations(20);
BENCHMARK(BM_DefaultAllocatorReadIfp)->Apply(BothShapesAndLayouts)->UseManualTime()->Iterations(5);
BENCHMARK(BM_ReadIfp)->Apply(BothShapesAndLayouts);
BENCHMARK(BM_WriteIfp)->Apply(BothShapesAndLayouts);
BENCHMARK(BM_PlainCopy)->Apply(BothShapesAndLayouts);

}  // namespace
