// Rebuilding packs the entries in directory order with no hole, keeps every
// entry's bytes, and a cancel or a lack of space leaves the archive as it was.

#include "img/img_rebuild.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "img/img_archive.h"
#include "img/img_edit.h"
#include "img_builder.h"
#include "platform/temp_file.h"
#include "support/scratch_folder.h"

namespace zam {
namespace {

using gen::ImgBuildEntry;
using gen::PatternData;
using test::ReadAll;
using test::ScratchFolder;
using Bytes = std::vector<uint8_t>;

std::vector<std::pair<std::string, Bytes>> Contents(const std::string& archive) {
  std::vector<ImgEntry> entries;
  EXPECT_EQ(ListImgEntries(archive, entries), ImgListResult::Listed);
  std::vector<std::pair<std::string, Bytes>> contents;
  for (const ImgEntry& entry : entries) {
    TempFile out = TempFile::Create("ifp");
    ExtractImgEntry(archive, ImgEntryName(entry), out.file());
    contents.emplace_back(ImgEntryName(entry), ReadAll(out.file()));
  }
  return contents;
}

TEST(ImgRebuild, PacksEntriesWithoutHolesAndKeepsTheirBytes) {
  for (bool v1 : {false, true}) {
    SCOPED_TRACE(v1 ? "version 1" : "version 2");
    ScratchFolder scratch;
    std::vector<ImgBuildEntry> entries;
    for (int i = 0; i < 80; ++i) entries.push_back({"e" + std::to_string(i) + ".ifp", PatternData(700 * i, i)});
    std::string archive;
    if (v1) {
      gen::ImgPairBytes pair = gen::BuildImgPair(entries);
      scratch.Write("a.dir", pair.directory);
      archive = scratch.Write("a.img", pair.data);
    } else {
      archive = scratch.Write("a.img", gen::BuildImgArchive(entries));
    }
    // Holes: puts that grow, a delete before the last.
    ASSERT_EQ(PutImgEntry(archive, "e3.ifp", PatternData(9000, 1)), ImgEditResult::Done);
    ASSERT_EQ(PutImgEntry(archive, "e79.ifp", PatternData(90000, 2)), ImgEditResult::Done);
    ASSERT_EQ(DeleteImgEntry(archive, "e40.ifp"), ImgEditResult::Done);
    auto before = Contents(archive);
    Bytes bytesBefore = scratch.Read("a.img");

    uint64_t calls = 0;
    auto cancel = [&calls](uint64_t, uint64_t) { return ++calls < 3; };
    EXPECT_EQ(RebuildImgArchive(archive, cancel).result, ImgRebuildResult::Cancelled);
    EXPECT_EQ(scratch.Read("a.img"), bytesBefore);

    uint64_t lastDone = 0, lastTotal = 0;
    ImgRebuildOutcome outcome = RebuildImgArchive(archive, [&](uint64_t done, uint64_t total) {
      lastDone = done;
      lastTotal = total;
      return true;
    });
    ASSERT_EQ(outcome.result, ImgRebuildResult::Done);
    EXPECT_EQ(lastDone, lastTotal);
    EXPECT_EQ(Contents(archive), before);
    std::vector<ImgEntry> listed;
    ListImgEntries(archive, listed);
    uint32_t expected = v1 ? 0 : 2;  // 79 records take two sectors with the header
    for (const ImgEntry& entry : listed) {
      EXPECT_EQ(entry.offset, expected) << ImgEntryName(entry);
      expected += entry.size;
    }
    EXPECT_EQ(scratch.Read("a.img").size(), uint64_t{expected} * 2048);
    EXPECT_LT(outcome.newBytes, outcome.oldBytes);
    EXPECT_TRUE(scratch.TempFiles().empty());
    for (const auto& item : std::filesystem::directory_iterator(std::filesystem::u8path(scratch.Path("")))) {
      EXPECT_NE(item.path().filename().u8string().rfind(".zam-", 0), 0u) << item.path();
    }
  }
}

}  // namespace
}  // namespace zam
