// Reading IMG directories: records, names, tags, and directories that claim
// more than the file holds.

#include <gtest/gtest.h>

#include <cstring>

#include "img/img_archive.h"
#include "img_builder.h"
#include "support/scratch_folder.h"
#include "support/raw_bytes.h"

namespace zam {
namespace {

using gen::BuildImgArchive;
using gen::ImgBuildOptions;
using gen::PatternData;
using test::RawBytes;
using test::ScratchFolder;

std::vector<std::string> Names(const std::vector<ImgEntry>& entries) {
  std::vector<std::string> names;
  for (const ImgEntry& entry : entries) names.push_back(ImgEntryName(entry));
  return names;
}

TEST(ImgSectorArithmetic, PositionsSizesAndAppendSectorsAreSixtyFourBit) {
  EXPECT_EQ(ImgSectorPosition(3), 6144u);
  EXPECT_EQ(ImgSectorPosition(0xFFFFFFFF), 0x7FFFFFFF800u);
  // Written-back data get one sector more than they fill.
  for (auto [bytes, sectors] : {std::pair<uint64_t, uint64_t>{0, 1}, {2047, 1}, {2048, 2}, {4096, 3},
                                {uint64_t{1} << 33, (uint64_t{1} << 22) + 1}})
    EXPECT_EQ(ImgSectorsNeeded(bytes), sectors) << bytes;
  // Data placed after some bytes start at the first sector after the last of them, over the whole size.
  const uint64_t fiveGigabytes = uint64_t{5} << 30;
  for (auto [bytes, sector] : {std::pair<uint64_t, uint64_t>{6144, 3}, {6145, 4}, {40, 1},
                               {fiveGigabytes, fiveGigabytes / 2048}, {fiveGigabytes + 1, fiveGigabytes / 2048 + 1}})
    EXPECT_EQ(ImgAppendSector(bytes), sector) << bytes;
}

TEST(ImgEntryNames, StopAtTheFirstZeroOrTheFieldEndAndMatchInAnyCase) {
  ImgEntry padded{};
  std::memcpy(padded.name, "a.ifp\0\xFF\xFFxy", 10);
  EXPECT_EQ(ImgEntryName(padded), "a.ifp");
  EXPECT_TRUE(ImgEntryNameMatches(padded, "A.IFP"));
  EXPECT_FALSE(ImgEntryNameMatches(padded, "a.ifp\xFF"));
  const std::string full = "abcdefghijklmnopqrst.ifp";
  ImgEntry whole{};
  std::memcpy(whole.name, full.data(), 24);
  EXPECT_EQ(ImgEntryName(whole), full);
  EXPECT_TRUE(ImgEntryNameMatches(whole, "ABCDEFGHIJKLMNOPQRST.IFP"));
  EXPECT_FALSE(ImgEntryNameMatches(whole, full + "x"));
  EXPECT_FALSE(ImgEntryNameMatches(whole, full.substr(0, 23)));
  // A model's dictionary: the three characters after the last dot replaced.
  EXPECT_EQ(ImgDictionaryName("a.b.DFF"), "a.b.txd");
  EXPECT_EQ(ImgDictionaryName("x.dffz"), "x.txdz");
  EXPECT_EQ(ImgDictionaryName("x.d"), "x.txd");
  EXPECT_EQ(ImgDictionaryName("model"), "");
}

TEST(ImgList, GivesEveryRecordInDirectoryOrder) {
  ScratchFolder scratch;
  ImgBuildOptions junk;
  junk.namePadding = 0xFF;
  const std::string full(24, 'n');
  std::string path = scratch.Write("a.img", BuildImgArchive({{"walk.ifp", PatternData(100, 1)},
                                                             {full, PatternData(5000, 2)},
                                                             {"", PatternData(2048, 3)}},
                                                            junk));
  std::vector<ImgEntry> entries;
  ASSERT_EQ(ListImgEntries(path, entries), ImgListResult::Listed);
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"walk.ifp", full, ""}));
  std::vector<std::pair<uint32_t, uint32_t>> places;
  for (const ImgEntry& entry : entries) places.push_back({entry.offset, entry.size});
  EXPECT_EQ(places, (std::vector<std::pair<uint32_t, uint32_t>>{{1, 1}, {2, 3}, {5, 1}}));
}

TEST(ImgList, EveryKindOfHeaderAndDirectory) {
  ScratchFolder scratch;
  ImgBuildOptions lower;
  lower.lowerCaseTag = true;
  RawBytes longCount;  // more records claimed than the file holds, the last cut short
  longCount.Tag("VER2").U32(0xFFFFFFFF).U32(1).U32(1).Text("one.ifp", 24).U32(2).U32(1).Text("two.ifp", 24);
  longCount.U32(3).U32(1).Text("cut", 10);
  const struct {
    std::vector<uint8_t> bytes;
    ImgListResult result;
    std::vector<std::string> names;
  } cases[] = {
      {BuildImgArchive({{"a.ifp", {1}}}, lower), ImgListResult::Listed, {"a.ifp"}},
      {RawBytes().Tag("vEr2").U32(0).bytes(), ImgListResult::Listed, {}},
      {RawBytes().Tag("VER3").U32(0).bytes(), ImgListResult::NotImgArchive, {}},
      {RawBytes().Raw("VER", 3).bytes(), ImgListResult::NotImgArchive, {}},
      {{}, ImgListResult::NotImgArchive, {}},
      {RawBytes().Tag("VER2").U16(5).bytes(), ImgListResult::DirectoryTruncated, {}},
      {longCount.bytes(), ImgListResult::DirectoryTruncated, {"one.ifp", "two.ifp"}},
  };
  for (const auto& c : cases) {
    std::vector<ImgEntry> entries{ImgEntry{}};
    EXPECT_EQ(ListImgEntries(scratch.Write("a.img", c.bytes), entries), c.result) << c.bytes.size();
    EXPECT_EQ(Names(entries), c.names);
    EXPECT_LE(entries.capacity(), std::max<size_t>(c.names.size(), 1)) << "the claimed count decides no allocation";
  }
  std::vector<ImgEntry> entries;
  EXPECT_EQ(ListImgEntries(scratch.Path("missing.img"), entries), ImgListResult::ArchiveCannotOpen);
  EXPECT_EQ(ListImgEntries(scratch.Path(""), entries), ImgListResult::ArchiveCannotOpen);
}

TEST(ImgList, ReadsLongDirectoriesAcrossReadChunks) {
  ScratchFolder scratch;
  std::vector<gen::ImgBuildEntry> built;
  for (int i = 0; i < 1500; ++i) built.push_back({"e" + std::to_string(i) + ".ifp", {}});
  std::vector<ImgEntry> entries;
  ASSERT_EQ(ListImgEntries(scratch.Write("a.img", BuildImgArchive(built)), entries), ImgListResult::Listed);
  ASSERT_EQ(entries.size(), 1500u);
  for (int i : {0, 511, 512, 1023, 1024, 1499}) EXPECT_EQ(ImgEntryName(entries[i]), built[i].name);
}

}  // namespace
}  // namespace zam
