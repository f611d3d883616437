// Copying entries out of IMG archives into temporary files, as the browser
// does before a package or a model is read.

#include <gtest/gtest.h>

#include "browser/img_archive.h"
#include "img_builder.h"
#include "platform/temp_file.h"
#include "scratch_folder.h"
#include "support/raw_bytes.h"

namespace zam {
namespace {

using gen::BuildImgArchive;
using gen::ImgBuildOptions;
using gen::PatternData;
using test::RawBytes;
using test::ReadAll;
using test::ScratchFolder;

// `data` followed by `filler` up to the end of its last sector.
std::vector<uint8_t> WholeSectors(std::vector<uint8_t> data, uint8_t filler) {
  data.resize((data.size() + 2047) / 2048 * 2048, filler);
  return data;
}

class ImgExtract : public ::testing::Test {
 protected:
  ScratchFolder scratch_;
  ImgBuildOptions options_ = [] {
    ImgBuildOptions options;
    options.sectorFiller = 0xAB;
    return options;
  }();
};

TEST_F(ImgExtract, CopiesWholeSectorsWithTheFillerOfTheLast) {
  std::vector<uint8_t> data = PatternData(5000, 7);
  std::string archive = scratch_.Write("a.img", BuildImgArchive({{"x.ifp", {1}}, {"walk.ifp", data}}, options_));
  TempFile out = TempFile::Create("ifp");
  ASSERT_EQ(ExtractImgEntry(archive, "walk.ifp", out.file()), ImgExtractResult::Extracted);
  std::vector<uint8_t> got = ReadAll(out.file());
  EXPECT_EQ(got.size(), 6144u) << "an entry of 3 sectors";
  EXPECT_EQ(got, WholeSectors(data, 0xAB));
}

TEST_F(ImgExtract, LeavesTheFilePositionedAtItsStart) {
  std::string archive = scratch_.Write("a.img", BuildImgArchive({{"a.ifp", {'A', 'N', 'P', '3'}}}));
  TempFile out = TempFile::Create("ifp");
  ASSERT_EQ(ExtractImgEntry(archive, "a.ifp", out.file()), ImgExtractResult::Extracted);
  char tag[4];
  ASSERT_EQ(out.file().Read(tag, 4), 4u);
  EXPECT_EQ(std::string(tag, 4), "ANP3");
}

TEST_F(ImgExtract, FindsTheFirstEntryOfTheNameInAnyCase) {
  std::string archive = scratch_.Write(
      "a.img", BuildImgArchive({{"other.ifp", PatternData(10, 1)}, {"Walk.IFP", PatternData(10, 2)},
                                {"walk.ifp", PatternData(10, 3)}}));
  TempFile out = TempFile::Create("ifp");
  ASSERT_EQ(ExtractImgEntry(archive, "WALK.ifp", out.file()), ImgExtractResult::Extracted);
  EXPECT_EQ(ReadAll(out.file()), WholeSectors(PatternData(10, 2), 0));
}

TEST_F(ImgExtract, AnEntryOfNoSectorsGivesAnEmptyFile) {
  std::string archive = scratch_.Write("a.img", BuildImgArchive({{"empty.ifp", {}}}));
  TempFile out = TempFile::Create("ifp");
  EXPECT_EQ(ExtractImgEntry(archive, "empty.ifp", out.file()), ImgExtractResult::Extracted);
  EXPECT_TRUE(ReadAll(out.file()).empty());
}

TEST_F(ImgExtract, MatchesNamesFillingTheWholeField) {
  const std::string full = "abcdefghijklmnopqrst.ifp";
  ImgBuildOptions junk;
  junk.namePadding = 0xFF;
  std::string archive =
      scratch_.Write("a.img", BuildImgArchive({{"ab.ifp", PatternData(4, 1)}, {full, PatternData(4, 2)}}, junk));
  TempFile out = TempFile::Create("ifp");
  ASSERT_EQ(ExtractImgEntry(archive, full, out.file()), ImgExtractResult::Extracted);
  EXPECT_EQ(ReadAll(out.file()), WholeSectors(PatternData(4, 2), 0));
  EXPECT_EQ(ExtractImgEntry(archive, full + "x", out.file()), ImgExtractResult::EntryNotFound);
  EXPECT_EQ(ExtractImgEntry(archive, "ab.ifp", out.file()), ImgExtractResult::Extracted) << "junk after the zero";
}

TEST_F(ImgExtract, SaysWhenNothingWasFoundAndTheCallersFileGoesAway) {
  std::string archive = scratch_.Write("a.img", BuildImgArchive({{"a.ifp", {1}}}));
  {
    TempFile out = TempFile::Create("ifp");
    EXPECT_EQ(ExtractImgEntry(archive, "b.ifp", out.file()), ImgExtractResult::EntryNotFound);
    EXPECT_TRUE(ReadAll(out.file()).empty());
    EXPECT_EQ(ExtractImgEntry(scratch_.Path("missing.img"), "a.ifp", out.file()),
              ImgExtractResult::ArchiveCannotOpen);
    EXPECT_EQ(ExtractImgEntry(scratch_.Write("b.img", {'R', 'I', 'F', 'F', 0, 0, 0, 0}), "a.ifp", out.file()),
              ImgExtractResult::NotImgArchive);
    EXPECT_TRUE(ReadAll(out.file()).empty());
  }
  EXPECT_TRUE(scratch_.TempFiles().empty());
}

TEST_F(ImgExtract, AnEntryBeyondTheEndOfTheArchiveGivesOnlyWhatExists) {
  RawBytes bytes;
  bytes.Tag("VER2").U32(3);
  bytes.U32(1).U32(2).Text("half.ifp", 24);         // the second sector is missing
  bytes.U32(0x7FFFFFFF).U32(0xFFFFFFFF).Text("far.ifp", 24);  // 8 TB of sectors, far past the end
  bytes.U32(0).U32(0xFFFFFFFF).Text("all.ifp", 24);
  bytes.Fill(2048 - bytes.size(), 0).Fill(2048, 0x5A);
  std::vector<uint8_t> file = bytes.bytes();
  std::string archive = scratch_.Write("a.img", file);
  TempFile out = TempFile::Create("ifp");
  EXPECT_EQ(ExtractImgEntry(archive, "half.ifp", out.file()), ImgExtractResult::EntryTruncated);
  EXPECT_EQ(ReadAll(out.file()), std::vector<uint8_t>(2048, 0x5A));

  TempFile far = TempFile::Create("ifp");
  EXPECT_EQ(ExtractImgEntry(archive, "far.ifp", far.file()), ImgExtractResult::EntryTruncated);
  EXPECT_TRUE(ReadAll(far.file()).empty());

  TempFile all = TempFile::Create("ifp");
  EXPECT_EQ(ExtractImgEntry(archive, "all.ifp", all.file()), ImgExtractResult::EntryTruncated);
  EXPECT_EQ(ReadAll(all.file()), file) << "an entry over the whole file copies the file, no more";
}

TEST_F(ImgExtract, ARecordCutByTheEndOfTheFileIsNotMatched) {
  RawBytes bytes;
  bytes.Tag("VER2").U32(2).U32(0).U32(0).Text("a.ifp", 24).U32(0).U32(0).Text("b.ifp", 20);
  std::string archive = scratch_.Write("a.img", bytes.bytes());
  TempFile out = TempFile::Create("ifp");
  EXPECT_EQ(ExtractImgEntry(archive, "b.ifp", out.file()), ImgExtractResult::EntryNotFound);
  EXPECT_EQ(ExtractImgEntry(archive, "a.ifp", out.file()), ImgExtractResult::Extracted);
}

TEST_F(ImgExtract, ReportsAFileThatCannotTakeTheData) {
  std::string archive = scratch_.Write("a.img", BuildImgArchive({{"a.ifp", PatternData(10, 1)}}));
  scratch_.Write("out.bin", {});
  File readOnly = File::OpenRead(scratch_.Path("out.bin"));
  EXPECT_EQ(ExtractImgEntry(archive, "a.ifp", readOnly), ImgExtractResult::WriteFailed);
}

class ImgExtractModel : public ImgExtract {};

TEST_F(ImgExtractModel, CopiesTheModelAndItsDictionary) {
  std::vector<uint8_t> model = PatternData(3000, 1), dictionary = PatternData(100, 2);
  std::string archive = scratch_.Write(
      "a.img", BuildImgArchive({{"ped.txd", dictionary}, {"walk.ifp", {1}}, {"ped.dff", model}}, options_));
  {
    TempFile dff = TempFile::Create("dff"), txd = TempFile::Create("txd");
    ImgModelExtractResult result = ExtractImgModel(archive, "PED.DFF", dff.file(), txd.file());
    EXPECT_EQ(result.model, ImgExtractResult::Extracted);
    EXPECT_EQ(result.dictionary, ImgExtractResult::Extracted) << "found even before the model";
    EXPECT_EQ(ReadAll(dff.file()), WholeSectors(model, 0xAB));
    EXPECT_EQ(ReadAll(txd.file()), WholeSectors(dictionary, 0xAB));
  }
  EXPECT_TRUE(scratch_.TempFiles().empty());
}

TEST_F(ImgExtractModel, WithoutADictionaryEntrySaysSoAndLeavesNoTemporaryFile) {
  std::string archive = scratch_.Write("a.img", BuildImgArchive({{"ped.dff", PatternData(10, 1)}, {"ped.ifp", {1}}}));
  {
    TempFile dff = TempFile::Create("dff"), txd = TempFile::Create("txd");
    ImgModelExtractResult result = ExtractImgModel(archive, "ped.dff", dff.file(), txd.file());
    EXPECT_EQ(result.model, ImgExtractResult::Extracted);
    EXPECT_EQ(result.dictionary, ImgExtractResult::EntryNotFound);
    EXPECT_TRUE(ReadAll(txd.file()).empty());
    txd.Remove();  // what the browser does: load untextured, drop the empty dictionary
    EXPECT_EQ(scratch_.TempFiles().size(), 1u);
  }
  EXPECT_TRUE(scratch_.TempFiles().empty());
}

TEST_F(ImgExtractModel, TakesTheFirstOfDuplicateNames) {
  std::string archive = scratch_.Write(
      "a.img", BuildImgArchive({{"p.dff", PatternData(8, 1)}, {"p.txd", PatternData(8, 2)},
                                {"P.DFF", PatternData(8, 3)}, {"P.TXD", PatternData(8, 4)}}));
  TempFile dff = TempFile::Create("dff"), txd = TempFile::Create("txd");
  ImgModelExtractResult result = ExtractImgModel(archive, "p.dff", dff.file(), txd.file());
  ASSERT_EQ(result.model, ImgExtractResult::Extracted);
  ASSERT_EQ(result.dictionary, ImgExtractResult::Extracted);
  EXPECT_EQ(ReadAll(dff.file()), WholeSectors(PatternData(8, 1), 0));
  EXPECT_EQ(ReadAll(txd.file()), WholeSectors(PatternData(8, 2), 0));
}

TEST_F(ImgExtractModel, AMissingModelOrArchiveExtractsNothing) {
  std::string archive = scratch_.Write("a.img", BuildImgArchive({{"ped.txd", {1}}}));
  TempFile dff = TempFile::Create("dff"), txd = TempFile::Create("txd");
  ImgModelExtractResult result = ExtractImgModel(archive, "ped.dff", dff.file(), txd.file());
  EXPECT_EQ(result.model, ImgExtractResult::EntryNotFound);
  EXPECT_EQ(result.dictionary, ImgExtractResult::Extracted);
  result = ExtractImgModel(scratch_.Path("missing.img"), "ped.dff", dff.file(), txd.file());
  EXPECT_EQ(result.model, ImgExtractResult::ArchiveCannotOpen);
  EXPECT_EQ(result.dictionary, ImgExtractResult::ArchiveCannotOpen);
  result = ExtractImgModel(archive, "model", dff.file(), txd.file());
  EXPECT_EQ(result.dictionary, ImgExtractResult::EntryNotFound) << "a name without a dot has no dictionary";
}

}  // namespace
}  // namespace zam
