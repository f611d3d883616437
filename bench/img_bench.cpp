// IMG archives shaped like the game's largest (16,000 entries): listing the
// directory, as the browser does on every visit, and copying entries out
// into temporary files, as every open of a package or a model does.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "img/img_archive.h"
#include "img_builder.h"
#include "platform/temp_file.h"

namespace {

constexpr int kEntries = 16000;
constexpr int kExtracted = 1000;

std::string EntryName(int i) { return "entry" + std::to_string(i) + (i % 4 == 0 ? ".dff" : ".ifp"); }

// The archive lives in a temporary file for the whole run.
const std::string& LargeArchive() {
  static zam::TempFile archive = [] {
    std::vector<zam::gen::ImgBuildEntry> entries;
    for (int i = 0; i < kEntries; ++i) entries.push_back({EntryName(i), zam::gen::PatternData(1000 + i % 3000, i)});
    std::vector<uint8_t> bytes = zam::gen::BuildImgArchive(entries);
    zam::TempFile temp = zam::TempFile::Create("ifp");
    temp.file().Write(bytes.data(), bytes.size());
    temp.file().Close();
    return temp;
  }();
  return archive.path();
}

void BM_ListImgArchive(benchmark::State& state) {
  const std::string& archive = LargeArchive();
  std::vector<zam::ImgEntry> entries;
  for (auto _ : state) {
    zam::ListImgEntries(archive, entries);
    benchmark::DoNotOptimize(entries.data());
  }
  state.SetLabel(std::to_string(entries.size()) + " entries");
}

// Names spread over the whole directory, so that look-ups walk it.
std::vector<std::string> NamesToExtract() {
  std::vector<std::string> names;
  for (int i = 0; i < kExtracted; ++i) names.push_back(EntryName(i * (kEntries / kExtracted)));
  return names;
}

// Each entry into its own new temporary file, deleted after, as the editor does.
void BM_Extract1000Entries(benchmark::State& state) {
  const std::string& archive = LargeArchive();
  std::vector<std::string> names = NamesToExtract();
  for (auto _ : state) {
    for (const std::string& name : names) {
      zam::TempFile out = zam::TempFile::Create("ifp");
      benchmark::DoNotOptimize(zam::ExtractImgEntry(archive, name, out.file()));
    }
  }
  state.SetItemsProcessed(state.iterations() * kExtracted);
}

// The same into one file, without the temporary-file service's cost.
void BM_Extract1000EntriesIntoOneFile(benchmark::State& state) {
  const std::string& archive = LargeArchive();
  std::vector<std::string> names = NamesToExtract();
  zam::TempFile out = zam::TempFile::Create("ifp");
  for (auto _ : state) {
    for (const std::string& name : names) benchmark::DoNotOptimize(zam::ExtractImgEntry(archive, name, out.file()));
  }
  state.SetItemsProcessed(state.iterations() * kExtracted);
}

}  // namespace

BENCHMARK(BM_ListImgArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Extract1000Entries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Extract1000EntriesIntoOneFile)->Unit(benchmark::kMillisecond);
