// Entries read and written as bytes: what the temporary files they pass
// through hold, and that none is left behind on any path.

#include <gtest/gtest.h>

#include <tuple>

#include "img/img_entry_bytes.h"
#include "img_builder.h"
#include "support/raw_bytes.h"
#include "support/scratch_folder.h"

namespace zam {
namespace {

using gen::BuildImgArchive;
using gen::PatternData;
using test::RawBytes;
using test::ScratchFolder;
using Bytes = std::vector<uint8_t>;

// `data` followed by zeros up to the end of its last sector.
Bytes WholeSectors(Bytes data) {
  data.resize((data.size() + 2047) / 2048 * 2048, 0);
  return data;
}

class ImgEntryBytes : public ::testing::Test {
 protected:
  using Got = std::pair<ImgExtractResult, Bytes>;
  // What reading `name` gives, into bytes that held something before.
  Got Read(const std::string& archive, const std::string& name) {
    Bytes bytes = {9, 9, 9};
    ImgExtractResult result = ReadImgEntry(archive, name, bytes);
    return {result, bytes};
  }

  ScratchFolder scratch_;
};

TEST_F(ImgEntryBytes, AnEntryIsReadAsItsWholeSectorsOrNotAtAll) {
  std::string archive =
      scratch_.Write("a.img", BuildImgArchive({{"walk.ifp", PatternData(5000, 1)}, {"empty.ifp", {}}}));
  EXPECT_EQ(Read(archive, "WALK.IFP"), Got(ImgExtractResult::Extracted, WholeSectors(PatternData(5000, 1))));
  EXPECT_EQ(Read(archive, "empty.ifp"), Got(ImgExtractResult::Extracted, {}));
  EXPECT_EQ(Read(archive, "run.ifp"), Got(ImgExtractResult::EntryNotFound, {}));
  EXPECT_EQ(Read(scratch_.Path("missing.img"), "walk.ifp"), Got(ImgExtractResult::ArchiveCannotOpen, {}));
  EXPECT_EQ(Read(scratch_.Write("b.img", {'R', 'I', 'F', 'F', 0, 0, 0, 0}), "walk.ifp"),
            Got(ImgExtractResult::NotImgArchive, {}));
  RawBytes half;  // the entry's second sector is missing
  half.Tag("VER2").U32(1).U32(1).U32(2).Text("half.ifp", 24);
  half.Fill(2048 - half.size(), 0).Fill(2048, 0x5A);
  EXPECT_EQ(Read(scratch_.Write("c.img", half.bytes()), "half.ifp"),
            Got(ImgExtractResult::EntryTruncated, Bytes(2048, 0x5A)));
  EXPECT_TRUE(scratch_.TempFiles().empty());
}

TEST_F(ImgEntryBytes, AModelComesWithItsDictionaryOrWithout) {
  std::string archive = scratch_.Write(
      "a.img", BuildImgArchive({{"p.dff", PatternData(3000, 1)}, {"P.TXD", PatternData(100, 2)}, {"q.dff", {5}},
                                {"r.txd", {6}}}));
  auto read = [](const std::string& archivePath, const std::string& name) {
    Bytes dff = {9}, txd = {9};
    ImgModelExtractResult result = ReadImgModel(archivePath, name, dff, txd);
    return std::tuple{result.model, result.dictionary, dff, txd};
  };
  EXPECT_EQ(read(archive, "p.dff"), std::tuple(ImgExtractResult::Extracted, ImgExtractResult::Extracted,
                                               WholeSectors(PatternData(3000, 1)), WholeSectors(PatternData(100, 2))));
  EXPECT_EQ(read(archive, "q.dff"),
            std::tuple(ImgExtractResult::Extracted, ImgExtractResult::EntryNotFound, WholeSectors({5}), Bytes()));
  EXPECT_EQ(read(archive, "r.dff"),
            std::tuple(ImgExtractResult::EntryNotFound, ImgExtractResult::Extracted, Bytes(), WholeSectors({6})));
  EXPECT_EQ(read(scratch_.Path("missing.img"), "p.dff"),
            std::tuple(ImgExtractResult::ArchiveCannotOpen, ImgExtractResult::ArchiveCannotOpen, Bytes(), Bytes()));
  EXPECT_TRUE(scratch_.TempFiles().empty());
}

TEST_F(ImgEntryBytes, WithoutATemporaryFileNothingIsRead) {
  std::string archive =
      scratch_.Write("a.img", BuildImgArchive({{"p.dff", PatternData(10, 1)}, {"p.txd", PatternData(10, 2)}}));
  Bytes before = scratch_.Read("a.img");
  scratch_.LoseTemporaryFolder();
  Bytes bytes = {9}, dff = {9}, txd = {9};
  EXPECT_EQ(ReadImgEntry(archive, "p.dff", bytes), ImgExtractResult::WriteFailed);
  ImgModelExtractResult model = ReadImgModel(archive, "p.dff", dff, txd);
  EXPECT_EQ(model.model, ImgExtractResult::WriteFailed);
  EXPECT_EQ(model.dictionary, ImgExtractResult::WriteFailed);
  EXPECT_TRUE(bytes.empty() && dff.empty() && txd.empty());
  EXPECT_EQ(scratch_.Read("a.img"), before);
  EXPECT_TRUE(scratch_.TempFiles().empty());
}

}  // namespace
}  // namespace zam
