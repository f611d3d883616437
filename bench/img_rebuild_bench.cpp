// Rebuilding an archive as large as the game's largest (16,000 entries,
// about 1 GB) against copying it with `cp`, in the same folder: the goal is
// a rebuild within twice the copy's time. A rebuild makes its new archive
// durable (fsync) before it renames it into place, which `cp` does not, so
// the copy is timed both as `cp` alone and as `cp` followed by `sync` of the
// copy. The archive is written by zamgen's builder on the fly into the
// folder named by ZAM_BENCH_FOLDER (default: the system's temporary folder),
// which needs about 3 GB free; the first rebuild closes the holes that puts
// into every seventh entry left, the later ones copy a packed archive.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "img/img_edit.h"
#include "img/img_rebuild.h"
#include "img_builder.h"

namespace {

constexpr uint32_t kEntries = 16000;
constexpr uint32_t kMeanSectors = 32;  // 1 to 64 sectors: about 1 GB in all

std::string Folder() {
  const char* folder = std::getenv("ZAM_BENCH_FOLDER");
  return folder && *folder ? folder : std::filesystem::temp_directory_path().string();
}

// The archive and a copy's path, removed when the run ends.
struct Files {
  std::string archive = Folder() + "/zam-rebuild-bench.img";
  std::string copy = Folder() + "/zam-rebuild-bench-copy.img";
  Files() {
    if (!zam::gen::WriteLargeImgArchive(archive, kEntries, kMeanSectors)) std::abort();
    std::vector<uint8_t> package(5000, 7);
    for (uint32_t i = 0; i < kEntries; i += 7) {
      char name[16];
      std::snprintf(name, sizeof name, "e%05u.ifp", i);
      zam::PutImgEntry(archive, name, package);
    }
  }
  ~Files() {
    std::filesystem::remove(archive);
    std::filesystem::remove(copy);
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

void Report(benchmark::State& state) {
  double bytes = static_cast<double>(std::filesystem::file_size(TheFiles().archive));
  state.counters["MB"] = bytes / (1 << 20);
  state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
}

void RunCopy(benchmark::State& state, bool sync) {
  Files& files = TheFiles();
  std::string command = "cp '" + files.archive + "' '" + files.copy + "'";
  if (sync) command += " && sync '" + files.copy + "'";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    state.PauseTiming();
    std::filesystem::remove(files.copy);
    state.ResumeTiming();
  }
  Report(state);
}

void BM_CopyWithCp(benchmark::State& state) { RunCopy(state, false); }
void BM_CopyWithCpAndSync(benchmark::State& state) { RunCopy(state, true); }

void BM_RebuildImgArchive(benchmark::State& state) {
  Files& files = TheFiles();
  for (auto _ : state) {
    zam::ImgRebuildOutcome outcome = zam::RebuildImgArchive(files.archive, nullptr);
    if (outcome.result != zam::ImgRebuildResult::Done) state.SkipWithError("rebuild failed");
  }
  Report(state);
}

BENCHMARK(BM_CopyWithCp)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CopyWithCpAndSync)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_RebuildImgArchive)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
