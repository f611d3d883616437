// Copying entries out of IMG archives into temporary files, as the browser
// does before a package or a model is read.

#include <gtest/gtest.h>

#include "img/img_archive.h"
#include "img_builder.h"
#include "platform/temp_file.h"
#include "support/scratch_folder.h"
#include "support/raw_bytes.h"

namespace zam {
namespace {

using gen::BuildImgArchive;
using gen::PatternData;
using test::RawBytes;
using test::ReadAll;
using test::ScratchFolder;

// `data` followed by `filler` up to the end of its last sector.
std::vector<uint8_t> WholeSectors(std::vector<uint8_t> data, uint8_t filler = 0) {
  data.resize((data.size() + 2047) / 2048 * 2048, filler);
  return data;
}

class ImgExtract : public ::testing::Test {
 protected:
  // What extracting `name` gives: the result and the bytes, read from the start.
  std::pair<ImgExtractResult, std::vector<uint8_t>> Extract(const std::string& archive, const std::string& name) {
    TempFile out = TempFile::Create("ifp");
    ImgExtractResult result = ExtractImgEntry(archive, name, out.file());
    return {result, ReadAll(out.file())};
  }
  using Got = std::pair<ImgExtractResult, std::vector<uint8_t>>;

  ScratchFolder scratch_;
};

TEST_F(ImgExtract, CopiesWholeSectorsOfTheFirstEntryOfTheNameInAnyCase) {
  gen::ImgBuildOptions filled;
  filled.sectorFiller = 0xAB;
  filled.namePadding = 0xFF;
  const std::string full = "abcdefghijklmnopqrst.ifp";
  std::string archive = scratch_.Write(
      "a.img", BuildImgArchive({{"x.ifp", {1}}, {"Walk.IFP", PatternData(5000, 7)}, {"walk.ifp", PatternData(10, 3)},
                                {full, PatternData(4, 2)}, {"empty.ifp", {}}},
                               filled));
  EXPECT_EQ(Extract(archive, "WALK.ifp"), Got(ImgExtractResult::Extracted, WholeSectors(PatternData(5000, 7), 0xAB)));
  EXPECT_EQ(Extract(archive, full), Got(ImgExtractResult::Extracted, WholeSectors(PatternData(4, 2), 0xAB)));
  EXPECT_EQ(Extract(archive, full + "x").first, ImgExtractResult::EntryNotFound);
  EXPECT_EQ(Extract(archive, "x.ifp").first, ImgExtractResult::Extracted) << "junk after the zero";
  EXPECT_EQ(Extract(archive, "empty.ifp"), Got(ImgExtractResult::Extracted, {}));
  // The file is left positioned at its start.
  TempFile out = TempFile::Create("ifp");
  ASSERT_EQ(ExtractImgEntry(archive, "x.ifp", out.file()), ImgExtractResult::Extracted);
  uint8_t first = 0;
  ASSERT_EQ(out.file().Read(&first, 1), 1u);
  EXPECT_EQ(first, 1);
}

TEST_F(ImgExtract, SaysWhenNothingWasFoundAndTheCallersFileGoesAway) {
  std::string archive = scratch_.Write("a.img", BuildImgArchive({{"a.ifp", {1}}}));
  EXPECT_EQ(Extract(archive, "b.ifp"), Got(ImgExtractResult::EntryNotFound, {}));
  EXPECT_EQ(Extract(scratch_.Path("missing.img"), "a.ifp").first, ImgExtractResult::ArchiveCannotOpen);
  EXPECT_EQ(Extract(scratch_.Write("b.img", {'R', 'I', 'F', 'F', 0, 0, 0, 0}), "a.ifp"),
            Got(ImgExtractResult::NotImgArchive, {}));
  EXPECT_TRUE(scratch_.TempFiles().empty());
  scratch_.Write("out.bin", {});
  File readOnly = File::OpenRead(scratch_.Path("out.bin"));
  EXPECT_EQ(ExtractImgEntry(archive, "a.ifp", readOnly), ImgExtractResult::WriteFailed);
}

TEST_F(ImgExtract, AnEntryBeyondTheEndOfTheArchiveGivesOnlyWhatExists) {
  RawBytes bytes;
  bytes.Tag("VER2").U32(3);
  bytes.U32(1).U32(2).Text("half.ifp", 24);                   // the second sector is missing
  bytes.U32(0x7FFFFFFF).U32(0xFFFFFFFF).Text("far.ifp", 24);  // 8 TB of sectors, far past the end
  bytes.U32(0).U32(0xFFFFFFFF).Text("all.ifp", 24);
  bytes.Fill(2048 - bytes.size(), 0).Fill(2048, 0x5A);
  std::string archive = scratch_.Write("a.img", bytes.bytes());
  EXPECT_EQ(Extract(archive, "half.ifp"), Got(ImgExtractResult::EntryTruncated, std::vector<uint8_t>(2048, 0x5A)));
  EXPECT_EQ(Extract(archive, "far.ifp"), Got(ImgExtractResult::EntryTruncated, {}));
  EXPECT_EQ(Extract(archive, "all.ifp"), Got(ImgExtractResult::EntryTruncated, bytes.bytes()))
      << "an entry over the whole file copies the file, no more";
  RawBytes cut;  // a record cut by the end of the file is not matched
  cut.Tag("VER2").U32(2).U32(0).U32(0).Text("a.ifp", 24).U32(0).U32(0).Text("b.ifp", 20);
  archive = scratch_.Write("b.img", cut.bytes());
  EXPECT_EQ(Extract(archive, "b.ifp").first, ImgExtractResult::EntryNotFound);
  EXPECT_EQ(Extract(archive, "a.ifp").first, ImgExtractResult::Extracted);
}

TEST_F(ImgExtract, ModelsComeWithTheFirstDictionaryOfTheirNameWhereverItStands) {
  std::string archive = scratch_.Write(
      "a.img", BuildImgArchive({{"p.txd", PatternData(100, 2)}, {"p.dff", PatternData(3000, 1)}, {"P.DFF", {3}},
                                {"P.TXD", {4}}, {"q.dff", {5}}, {"r.txd", {6}}}));
  auto extract = [&](const std::string& archivePath, const std::string& name) {
    TempFile dff = TempFile::Create("dff"), txd = TempFile::Create("txd");
    ImgModelExtractResult result = ExtractImgModel(archivePath, name, dff.file(), txd.file());
    return std::tuple{result.model, result.dictionary, ReadAll(dff.file()), ReadAll(txd.file())};
  };
  EXPECT_EQ(extract(archive, "P.dff"), std::tuple(ImgExtractResult::Extracted, ImgExtractResult::Extracted,
                                                  WholeSectors(PatternData(3000, 1)), WholeSectors(PatternData(100, 2))));
  EXPECT_EQ(extract(archive, "q.dff"), std::tuple(ImgExtractResult::Extracted, ImgExtractResult::EntryNotFound,
                                                  WholeSectors({5}), std::vector<uint8_t>()));
  EXPECT_EQ(std::get<0>(extract(archive, "r.dff")), ImgExtractResult::EntryNotFound);
  EXPECT_EQ(std::get<1>(extract(archive, "r.dff")), ImgExtractResult::Extracted);
  EXPECT_EQ(std::get<1>(extract(archive, "model")), ImgExtractResult::EntryNotFound) << "no dot, no dictionary";
  EXPECT_EQ(std::get<1>(extract(scratch_.Path("missing.img"), "p.dff")), ImgExtractResult::ArchiveCannotOpen);
  EXPECT_TRUE(scratch_.TempFiles().empty());
}

}  // namespace
}  // namespace zam
