// Putting, adding, deleting and renaming entries, in both versions of
// archive: where new data land, which records change, that every other
// entry keeps its bytes, that a full disk changes nothing and that no
// temporary file or journal is left behind.

#include "img/img_edit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>

#include "img/img_archive.h"
#include "img_builder.h"
#include "platform/temp_file.h"
#include "support/scratch_folder.h"

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>
#endif

namespace zam {
namespace {

using gen::BuildImgArchive;
using gen::BuildImgPair;
using gen::ImgBuildEntry;
using gen::PatternData;
using test::ReadAll;
using test::ScratchFolder;
using Bytes = std::vector<uint8_t>;

Bytes WholeSectors(Bytes data, size_t sectors) {
  data.resize(sectors * 2048, 0);
  return data;
}

class ImgEdit : public ::testing::Test {
 protected:
  // walk (3 sectors), run (1), ped (2), as version 2 or as a version 1 pair.
  std::string Make(bool v1) {
    std::vector<ImgBuildEntry> entries{
        {"walk.ifp", PatternData(5000, 1)}, {"run.ifp", PatternData(100, 2)}, {"ped.dff", PatternData(3000, 3)}};
    if (!v1) return scratch_.Write("a.img", BuildImgArchive(entries));
    gen::ImgPairBytes pair = BuildImgPair(entries);
    scratch_.Write("a.dir", pair.directory);
    return scratch_.Write("a.img", pair.data);
  }

  std::vector<ImgEntry> List(const std::string& archive) {
    std::vector<ImgEntry> entries;
    EXPECT_EQ(ListImgEntries(archive, entries), ImgListResult::Listed);
    return entries;
  }
  std::vector<std::string> Names(const std::string& archive) {
    std::vector<std::string> names;
    for (const ImgEntry& entry : List(archive)) names.push_back(ImgEntryName(entry));
    return names;
  }
  // Every entry's bytes by name.
  std::map<std::string, Bytes> Contents(const std::string& archive) {
    std::map<std::string, Bytes> contents;
    for (const std::string& name : Names(archive)) {
      TempFile out = TempFile::Create("ifp");
      EXPECT_EQ(ExtractImgEntry(archive, name, out.file()), ImgExtractResult::Extracted) << name;
      contents[name] = ReadAll(out.file());
    }
    return contents;
  }
  // Nothing left beside the archive or in the temporary folder, and no note.
  void ExpectNoTemporaries() {
    EXPECT_TRUE(scratch_.TempFiles().empty());
    for (const auto& item : std::filesystem::directory_iterator(std::filesystem::u8path(scratch_.Path("")))) {
      EXPECT_NE(item.path().filename().u8string().rfind(".zam-", 0), 0u) << item.path();
    }
#if !defined(_WIN32)
    std::filesystem::path notes = std::filesystem::u8path(scratch_.Path("state")) / "zam" / "temporaries";
    if (std::filesystem::exists(notes)) {
      EXPECT_TRUE(std::filesystem::is_empty(notes));
    }
#endif
  }

  ScratchFolder scratch_;
};

// New data go into the first hole large enough, else after the last claimed
// sector; the entry's old sectors become a hole the next put may take.
TEST_F(ImgEdit, PutPlacesDataInFreeSectorsAndSwitchesTheRecord) {
  for (bool v1 : {false, true}) {
    SCOPED_TRACE(v1 ? "version 1" : "version 2");
    std::string archive = Make(v1);
    const uint32_t first = v1 ? 0 : 1;  // walk.ifp's sector
    std::map<std::string, Bytes> before = Contents(archive);
    Bytes package = PatternData(4000, 7);  // 2 sectors, to the end: no hole yet
    ASSERT_EQ(PutImgEntry(archive, "WALK.IFP", package), ImgEditResult::Done);
    std::vector<ImgEntry> entries = List(archive);
    EXPECT_EQ(entries[0].offset, first + 6);
    EXPECT_EQ(entries[0].size, 2u);
    std::map<std::string, Bytes> after = Contents(archive);
    EXPECT_EQ(after["walk.ifp"], WholeSectors(package, 2));
    EXPECT_EQ(after["run.ifp"], before["run.ifp"]);
    EXPECT_EQ(after["ped.dff"], before["ped.dff"]);
    // run.ifp (1 sector) needs 2 now: into the 3-sector hole walk.ifp left.
    ASSERT_EQ(PutImgEntry(archive, "run.ifp", PatternData(2100, 8)), ImgEditResult::Done);
    EXPECT_EQ(List(archive)[1].offset, first);
    EXPECT_EQ(PutImgEntry(archive, "none.ifp", package), ImgEditResult::EntryNotFound);
    ExpectNoTemporaries();
  }
}

TEST_F(ImgEdit, AddDeleteAndRenameKeepEveryOtherEntry) {
  for (bool v1 : {false, true}) {
    SCOPED_TRACE(v1 ? "version 1" : "version 2");
    std::string archive = Make(v1);
    std::map<std::string, Bytes> contents = Contents(archive);
    ASSERT_EQ(AddImgEntry(archive, "new.ifp", PatternData(10, 9)), ImgEditResult::Done);
    contents["new.ifp"] = WholeSectors(PatternData(10, 9), 1);
    EXPECT_EQ(AddImgEntry(archive, "NEW.ifp", {1}), ImgEditResult::NameTaken);
    EXPECT_EQ(AddImgEntry(archive, "a-name-of-twenty-four.xx", {1}), ImgEditResult::NameInvalid);
    EXPECT_EQ(AddImgEntry(archive, "sub\\x.ifp", {1}), ImgEditResult::NameInvalid);
    ASSERT_EQ(RenameImgEntry(archive, "run.ifp", "jog.ifp"), ImgEditResult::Done);
    contents["jog.ifp"] = contents["run.ifp"];
    contents.erase("run.ifp");
    EXPECT_EQ(RenameImgEntry(archive, "jog.ifp", "PED.DFF"), ImgEditResult::NameTaken);
    EXPECT_EQ(RenameImgEntry(archive, "jog.ifp", "JOG.IFP"), ImgEditResult::Done) << "a change of case alone";
    contents["JOG.IFP"] = contents["jog.ifp"];
    contents.erase("jog.ifp");
    ASSERT_EQ(DeleteImgEntry(archive, "walk.ifp"), ImgEditResult::Done);  // records move up: through a journal
    ASSERT_EQ(DeleteImgEntry(archive, "new.ifp"), ImgEditResult::Done);   // the last: the count alone
    contents.erase("walk.ifp");
    contents.erase("new.ifp");
    EXPECT_EQ(Names(archive), (std::vector<std::string>{"JOG.IFP", "ped.dff"}));
    EXPECT_EQ(Contents(archive), contents);
    EXPECT_EQ(DeleteImgEntry(archive, "walk.ifp"), ImgEditResult::EntryNotFound);
    if (v1) {
      EXPECT_EQ(scratch_.Read("a.dir").size(), 64u);
    }
    ExpectNoTemporaries();
  }
}

// 63 records fill the first sector with the header; the 64th needs a second,
// which ped.dff's data hold: they move first. Record 15's name crosses the
// first 512 bytes, so renaming it goes through a journal.
TEST_F(ImgEdit, AVersion2DirectoryGrowsOverMovedEntries) {
  std::vector<ImgBuildEntry> entries{{"ped.dff", PatternData(3000, 3)}};
  for (int i = 1; i < 63; ++i) entries.push_back({"e" + std::to_string(i) + ".ifp", {}});
  std::string archive = scratch_.Write("a.img", BuildImgArchive(entries));
  ASSERT_EQ(List(archive)[0].offset, 1u);
  ASSERT_EQ(AddImgEntry(archive, "new.ifp", PatternData(100, 4)), ImgEditResult::Done);
  std::vector<ImgEntry> listed = List(archive);
  ASSERT_EQ(listed.size(), 64u);
  EXPECT_GE(listed[0].offset, 2u) << "ped.dff moved out of the directory's way";
  EXPECT_EQ(Contents(archive)["ped.dff"], WholeSectors(PatternData(3000, 3), 2));
  ASSERT_EQ(RenameImgEntry(archive, "e15.ifp", "fifteen.ifp"), ImgEditResult::Done);
  EXPECT_EQ(ImgEntryName(List(archive)[15]), "fifteen.ifp");
  ExpectNoTemporaries();
}

TEST_F(ImgEdit, AFullDiskChangesNothing) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs a limit on file sizes to make the write fail";
#else
  for (bool v1 : {false, true}) {
    SCOPED_TRACE(v1 ? "version 1" : "version 2");
    std::string archive = Make(v1);
    Bytes before = scratch_.Read("a.img");
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limit = old;
    limit.rlim_cur = static_cast<rlim_t>(before.size() + 2048);  // room for one sector more
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    ImgEditResult put = PutImgEntry(archive, "walk.ifp", PatternData(9000, 5));
    ImgEditResult add = AddImgEntry(archive, "big.ifp", PatternData(9000, 5));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(put, ImgEditResult::WriteFailed);
    EXPECT_EQ(add, ImgEditResult::WriteFailed);
    EXPECT_EQ(scratch_.Read("a.img"), before);
    ExpectNoTemporaries();
  }
#endif
}

}  // namespace
}  // namespace zam
