// Reading IMG directories: records, names, tags, and directories that claim
// more than the file holds.

#include <gtest/gtest.h>

#include <cstring>

#include "browser/img_archive.h"
#include "img_builder.h"
#include "scratch_folder.h"
#include "support/raw_bytes.h"

namespace zam {
namespace {

using gen::BuildImgArchive;
using gen::ImgBuildOptions;
using gen::PatternData;
using test::RawBytes;
using test::ScratchFolder;

ImgEntry EntryNamed(const void* name, size_t size) {
  ImgEntry entry{};
  std::memcpy(entry.name, name, size);
  return entry;
}

std::vector<std::string> Names(const std::vector<ImgEntry>& entries) {
  std::vector<std::string> names;
  for (const ImgEntry& entry : entries) names.push_back(ImgEntryName(entry));
  return names;
}

TEST(ImgSectorArithmetic, PositionsAreSixtyFourBit) {
  EXPECT_EQ(ImgSectorPosition(3), 6144u);
  EXPECT_EQ(ImgSectorPosition(0x200000), uint64_t{1} << 32);
  const uint32_t sector = 0xFFFFFFFF;
  uint64_t position = ImgSectorPosition(sector);
  EXPECT_EQ(position, 0x7FFFFFFF800u);
  EXPECT_EQ(static_cast<uint32_t>(position), sector << 11) << "low half";
  EXPECT_EQ(static_cast<uint32_t>(position >> 32), sector >> 21) << "high half";
}

TEST(ImgSectorArithmetic, WrittenBackDataGetOneSectorMoreThanTheyFill) {
  EXPECT_EQ(ImgSectorsNeeded(0), 1u);
  EXPECT_EQ(ImgSectorsNeeded(2047), 1u);
  EXPECT_EQ(ImgSectorsNeeded(2048), 2u);
  EXPECT_EQ(ImgSectorsNeeded(4096), 3u);
  EXPECT_EQ(ImgSectorsNeeded(uint64_t{1} << 33), (uint64_t{1} << 22) + 1);
}

TEST(ImgSectorArithmetic, AppendedDataStartAtTheFirstSectorAfterTheLastByteOverTheWholeSize) {
  EXPECT_EQ(ImgAppendSector(6144), 3u) << "an exact multiple leaves no gap";
  EXPECT_EQ(ImgAppendSector(6145), 4u);
  EXPECT_EQ(ImgAppendSector(40), 1u);
  const uint64_t fiveGigabytes = uint64_t{5} << 30;
  EXPECT_EQ(ImgAppendSector(fiveGigabytes), fiveGigabytes / 2048);
  EXPECT_EQ(ImgAppendSector(fiveGigabytes + 1), fiveGigabytes / 2048 + 1);
  EXPECT_GT(ImgAppendSector(fiveGigabytes), 0x200000u) << "not cut to the low 32 bits of the size";
}

TEST(ImgEntryNames, StopAtTheFirstZeroAndIgnoreWhatFollows) {
  const char padded[24] = {'a', '.', 'i', 'f', 'p', 0, '\xFF', '\xFF', 'x', 'y'};
  ImgEntry entry = EntryNamed(padded, sizeof padded);
  EXPECT_EQ(ImgEntryName(entry), "a.ifp");
  EXPECT_TRUE(ImgEntryNameMatches(entry, "A.IFP"));
  EXPECT_FALSE(ImgEntryNameMatches(entry, "a.ifp\xFF"));
}

TEST(ImgEntryNames, AFullFieldWithoutTerminatorIsTwentyFourCharacters) {
  const std::string full = "abcdefghijklmnopqrst.ifp";
  ASSERT_EQ(full.size(), 24u);
  ImgEntry entry = EntryNamed(full.data(), 24);
  EXPECT_EQ(ImgEntryName(entry), full);
  EXPECT_TRUE(ImgEntryNameMatches(entry, "ABCDEFGHIJKLMNOPQRST.IFP"));
  EXPECT_FALSE(ImgEntryNameMatches(entry, full + "x"));
  EXPECT_FALSE(ImgEntryNameMatches(entry, full.substr(0, 23)));
}

TEST(ImgEntryNames, DictionaryOfAModelReplacesTheThreeCharactersAfterTheLastDot) {
  EXPECT_EQ(ImgDictionaryName("ped.dff"), "ped.txd");
  EXPECT_EQ(ImgDictionaryName("a.b.DFF"), "a.b.txd");
  EXPECT_EQ(ImgDictionaryName("x.dffz"), "x.txdz");
  EXPECT_EQ(ImgDictionaryName("x.d"), "x.txd");
  EXPECT_EQ(ImgDictionaryName("model"), "");
}

TEST(ImgList, GivesEveryRecordInDirectoryOrder) {
  ScratchFolder scratch;
  std::string path = scratch.Write(
      "a.img", BuildImgArchive({{"walk.ifp", PatternData(100, 1)}, {"ped.dff", PatternData(5000, 2)},
                                {"ped.txd", PatternData(2048, 3)}}));
  std::vector<ImgEntry> entries;
  ASSERT_EQ(ListImgEntries(path, entries), ImgListResult::Listed);
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"walk.ifp", "ped.dff", "ped.txd"}));
  EXPECT_EQ(entries[0].offset, 1u);
  EXPECT_EQ(entries[0].size, 1u);
  EXPECT_EQ(entries[1].offset, 2u);
  EXPECT_EQ(entries[1].size, 3u);
  EXPECT_EQ(entries[2].offset, 5u);
  EXPECT_EQ(entries[2].size, 1u);
}

TEST(ImgList, AcceptsTheTagInAnyCase) {
  ScratchFolder scratch;
  ImgBuildOptions lower;
  lower.lowerCaseTag = true;
  std::vector<ImgEntry> entries;
  EXPECT_EQ(ListImgEntries(scratch.Write("a.img", BuildImgArchive({{"a.ifp", {1}}}, lower)), entries),
            ImgListResult::Listed);
  EXPECT_EQ(entries.size(), 1u);
  EXPECT_EQ(ListImgEntries(scratch.Write("b.img", RawBytes().Tag("vEr2").U32(0).bytes()), entries),
            ImgListResult::Listed);
  EXPECT_TRUE(entries.empty());
}

TEST(ImgList, ReadsPaddedAndUnterminatedNamesWithinTheirField) {
  ScratchFolder scratch;
  ImgBuildOptions junk;
  junk.namePadding = 0xFF;
  const std::string full(24, 'n');
  std::vector<ImgEntry> entries;
  ASSERT_EQ(ListImgEntries(scratch.Write("a.img", BuildImgArchive({{"a.ifp", {1}}, {full, {2}}, {"", {}}}, junk)),
                           entries),
            ImgListResult::Listed);
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"a.ifp", full, ""}));
}

TEST(ImgList, RefusesFilesWithoutTheTag) {
  ScratchFolder scratch;
  std::vector<ImgEntry> entries{ImgEntry{}};
  EXPECT_EQ(ListImgEntries(scratch.Write("a.img", RawBytes().Tag("VER3").U32(0).bytes()), entries),
            ImgListResult::NotImgArchive);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(ListImgEntries(scratch.Write("b.img", RawBytes().Raw("VER", 3).bytes()), entries),
            ImgListResult::NotImgArchive);
  EXPECT_EQ(ListImgEntries(scratch.Write("c.img", {}), entries), ImgListResult::NotImgArchive);
}

TEST(ImgList, ReportsArchivesThatCannotBeOpened) {
  ScratchFolder scratch;
  std::vector<ImgEntry> entries;
  EXPECT_EQ(ListImgEntries(scratch.Path("missing.img"), entries), ImgListResult::ArchiveCannotOpen);
  EXPECT_EQ(ListImgEntries(scratch.Path(""), entries), ImgListResult::ArchiveCannotOpen);
}

TEST(ImgList, ACountBeyondTheFileListsOnlyTheRecordsThatExist) {
  ScratchFolder scratch;
  RawBytes bytes;
  bytes.Tag("VER2").U32(0xFFFFFFFF);
  bytes.U32(1).U32(1).Text("one.ifp", 24);
  bytes.U32(2).U32(1).Text("two.ifp", 24);
  bytes.U32(3).U32(1).Text("cut", 10);  // a record cut short by the end of the file
  std::vector<ImgEntry> entries;
  EXPECT_EQ(ListImgEntries(scratch.Write("a.img", bytes.bytes()), entries), ImgListResult::DirectoryTruncated);
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"one.ifp", "two.ifp"}));
  EXPECT_LE(entries.capacity(), 2u) << "the claimed count decides no allocation";
}

TEST(ImgList, AFileEndingInsideTheHeaderHasNoEntries) {
  ScratchFolder scratch;
  std::vector<ImgEntry> entries;
  EXPECT_EQ(ListImgEntries(scratch.Write("a.img", RawBytes().Tag("VER2").U16(5).bytes()), entries),
            ImgListResult::DirectoryTruncated);
  EXPECT_TRUE(entries.empty());
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
