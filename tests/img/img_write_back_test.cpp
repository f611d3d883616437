// Saving a package back into its archive entry: in place when the entry has
// room of its own, appended after the end when it has not, never a directory
// record pointing at data that were not written, and a failed save leaves
// the archive as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "img/img_archive.h"
#include "img_builder.h"
#include "platform/temp_file.h"
#include "support/scratch_folder.h"
#include "support/raw_bytes.h"

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>
#endif

namespace zam {
namespace {

using gen::BuildImgArchive;
using gen::ImgBuildEntry;
using gen::PatternData;
using test::RawBytes;
using test::ReadAll;
using test::ScratchFolder;

class ImgWriteBack : public ::testing::Test {
 protected:
  // The package as Save leaves it: written into a new "ifp" temporary file.
  std::string Package(const std::vector<uint8_t>& bytes) {
    TempFile temp = TempFile::Create("ifp");
    EXPECT_TRUE(temp.IsOpen() && temp.file().Write(bytes.data(), bytes.size()));
    return temp.Release();
  }

  std::vector<ImgEntry> List(const std::string& archive) {
    std::vector<ImgEntry> entries;
    EXPECT_EQ(ListImgEntries(archive, entries), ImgListResult::Listed);
    return entries;
  }

  std::vector<uint8_t> Extract(const std::string& archive, const std::string& name) {
    TempFile out = TempFile::Create("ifp");
    EXPECT_TRUE(ImgEntryExtracted(ExtractImgEntry(archive, name, out.file()))) << name;
    return ReadAll(out.file());
  }

  struct Record {
    uint32_t offset, size;
    const char* name;
  };

  // The directory, padded to whole sectors, then `dataSectors` sectors whose
  // bytes tell them apart; records point wherever they say.
  std::string Archive(const std::vector<Record>& records, size_t dataSectors) {
    RawBytes bytes;
    bytes.Tag("VER2").U32(static_cast<uint32_t>(records.size()));
    for (const Record& record : records) bytes.U32(record.offset).U32(record.size).Text(record.name, 24);
    bytes.Fill((2048 - bytes.size() % 2048) % 2048, 0);
    bytes.Raw(PatternData(dataSectors * 2048, 5).data(), dataSectors * 2048);
    return scratch_.Write("a.img", bytes.bytes());
  }

  // `data` followed by zeros up to `sectors` whole sectors.
  static std::vector<uint8_t> Padded(std::vector<uint8_t> data, size_t sectors) {
    data.resize(sectors * 2048, 0);
    return data;
  }

  ScratchFolder scratch_;
  const std::vector<uint8_t> package_ = PatternData(4096, 99);  // needs 3 sectors
};

// In place where the entry has room of its own (a larger one keeps its
// size), appended after the last whole sector where it has not; the old data
// and the neighbours stay as they were. A package filling whole sectors gets
// one more.
TEST_F(ImgWriteBack, InPlaceWhenItFitsAppendedWhenNot) {
  struct Case {
    size_t oldBytes, packageBytes;
    bool inPlace;
    uint32_t size;
  };
  for (Case c : {Case{6000, 4096, true, 3}, Case{5 * 2048, 4096, true, 5}, Case{4000, 4096, false, 3},
                 Case{2048, 2048, false, 2}}) {
    SCOPED_TRACE(c.oldBytes);
    const std::vector<uint8_t> package = PatternData(c.packageBytes, 99);
    std::string archive = scratch_.Write(
        "a.img", BuildImgArchive({{"a.ifp", PatternData(10, 1)}, {"walk.ifp", PatternData(c.oldBytes, 2)},
                                  {"z.ifp", PatternData(10, 3)}}));
    const std::vector<uint8_t> before = scratch_.Read("a.img");
    const ImgEntry old = List(archive)[1];
    EXPECT_EQ(WriteBackImgEntry(archive, "WALK.IFP", Package(package)), ImgWriteBackResult::Written);
    const ImgEntry now = List(archive)[1];
    const std::vector<uint8_t> after = scratch_.Read("a.img");
    EXPECT_EQ(now.offset, c.inPlace ? old.offset : before.size() / 2048);
    EXPECT_EQ(now.size, c.size);
    EXPECT_EQ(after.size(), c.inPlace ? before.size() : before.size() + c.size * 2048);
    std::vector<uint8_t> got = Extract(archive, "walk.ifp");
    got.resize(ImgSectorsNeeded(c.packageBytes) * 2048);
    EXPECT_EQ(got, Padded(package, ImgSectorsNeeded(c.packageBytes)));
    if (!c.inPlace) {  // the old data stay where they were
      EXPECT_TRUE(std::equal(before.begin() + old.offset * 2048, before.begin() + (old.offset + old.size) * 2048,
                             after.begin() + old.offset * 2048));
    }
    EXPECT_EQ(Extract(archive, "a.ifp"), Padded(PatternData(10, 1), 1)) << "neighbours untouched";
    EXPECT_EQ(Extract(archive, "z.ifp"), Padded(PatternData(10, 3), 1));
  }
}

TEST_F(ImgWriteBack, WritesTheFirstOfDuplicateNames) {
  std::string archive = scratch_.Write(
      "a.img", BuildImgArchive({{"walk.ifp", PatternData(6144, 1)}, {"WALK.IFP", PatternData(6144, 2)}}));
  EXPECT_EQ(WriteBackImgEntry(archive, "Walk.ifp", Package(package_)), ImgWriteBackResult::Written);
  EXPECT_EQ(Extract(archive, "walk.ifp"), Padded(package_, 3));
  std::vector<uint8_t> bytes = scratch_.Read("a.img");
  auto second = bytes.begin() + List(archive)[1].offset * 2048;
  EXPECT_EQ(std::vector<uint8_t>(second, second + 6144), PatternData(6144, 2));
}

TEST_F(ImgWriteBack, TellsAnArchiveThatCannotBeOpenedFromNothingWrittenAndDeletesThePackage) {
  std::vector<uint8_t> notImg = RawBytes().Tag("VER1").U32(0).bytes();
  std::string other = scratch_.Write("b.img", notImg);
  std::string archive = scratch_.Write("a.img", BuildImgArchive({{"walk.ifp", PatternData(10, 1)}}));
  std::vector<uint8_t> before = scratch_.Read("a.img");
  EXPECT_EQ(WriteBackImgEntry(scratch_.Path("missing.img"), "walk.ifp", Package(package_)),
            ImgWriteBackResult::ArchiveCannotOpen);
  EXPECT_EQ(WriteBackImgEntry(other, "walk.ifp", Package(package_)), ImgWriteBackResult::NothingWritten);
  EXPECT_EQ(WriteBackImgEntry(archive, "run.ifp", Package(package_)), ImgWriteBackResult::NothingWritten);
  EXPECT_EQ(WriteBackImgEntry(archive, "walk.ifp", scratch_.Path("no-package")), ImgWriteBackResult::NothingWritten);
  EXPECT_EQ(scratch_.Read("b.img"), notImg);
  EXPECT_EQ(scratch_.Read("a.img"), before);
  EXPECT_EQ(WriteBackImgEntry(archive, "walk.ifp", Package(package_)), ImgWriteBackResult::Written);
  EXPECT_TRUE(scratch_.TempFiles().empty()) << "the package file goes on every path";
}

// Damaged directories: walk.ifp over the directory itself, far beyond the
// end, or sharing its sectors 1 to 5 with z.ifp. The package is appended
// rather than written there, and z.ifp keeps its data.
TEST_F(ImgWriteBack, AnEntryOverTheDirectoryBeyondTheEndOrSharingSectorsIsAppended) {
  struct Case {
    uint32_t offset, size, otherSector;
    uint32_t writtenAt;
  };
  for (Case c : {Case{0, 10, 1, 2}, Case{0x7FFFFFFF, 100, 1, 2}, Case{1, 5, 3, 6}, Case{1, 5, 1, 6}, Case{1, 5, 5, 1}}) {
    RawBytes bytes;
    bytes.Tag("VER2").U32(2).U32(c.offset).U32(c.size).Text("walk.ifp", 24).U32(c.otherSector).U32(1).Text("z.ifp", 24);
    bytes.Fill(2048 - bytes.size(), 0).Raw(PatternData(5 * 2048, 7).data(), c.offset == 1 ? 5 * 2048 : 2048);
    std::string archive = scratch_.Write("a.img", bytes.bytes());
    std::vector<uint8_t> other = Extract(archive, "z.ifp");
    EXPECT_EQ(WriteBackImgEntry(archive, "walk.ifp", Package(package_)), ImgWriteBackResult::Written);
    SCOPED_TRACE(testing::Message() << "walk.ifp at " << c.offset << ", z.ifp at " << c.otherSector);
    EXPECT_EQ(List(archive)[0].offset, c.writtenAt);
    EXPECT_EQ(Extract(archive, "z.ifp"), other);
    std::vector<uint8_t> walk = Extract(archive, "walk.ifp");
    EXPECT_EQ(std::vector<uint8_t>(walk.begin(), walk.begin() + 3 * 2048), Padded(package_, 3));
    if (c.writtenAt != 1) {
      EXPECT_EQ(scratch_.Read("a.img").size(), (c.writtenAt + 3) * 2048u) << "grown by the package only";
    }
  }
}

// A record may claim sectors past the end of the archive (damaged, or the
// archive cut short): appended data go after them, or z.ifp would seem to
// hold the package. Here walk.ifp holds 1 sector, too few, and the archive
// ends after sector 2.
TEST_F(ImgWriteBack, AppendsAfterTheSectorsOfRecordsPastTheEnd) {
  for (uint32_t otherAt : {2u, 4u}) {
    SCOPED_TRACE(otherAt);
    std::string archive = Archive({{1, 1, "walk.ifp"}, {otherAt, 2, "z.ifp"}}, 2);
    const std::vector<uint8_t> other = Extract(archive, "z.ifp");
    EXPECT_EQ(WriteBackImgEntry(archive, "walk.ifp", Package(package_)), ImgWriteBackResult::Written);
    EXPECT_EQ(List(archive)[0].offset, otherAt + 2);
    EXPECT_EQ(scratch_.Read("a.img").size(), (otherAt + 2 + 3) * 2048u);
    EXPECT_EQ(Extract(archive, "walk.ifp"), Padded(package_, 3));
    EXPECT_EQ(Extract(archive, "z.ifp"), Padded(other, 2)) << "its sectors that exist, then zeros";
  }
  std::string damaged = Archive({{1, 1, "walk.ifp"}, {0x7FFFFF00, 2, "z.ifp"}}, 2);
  const std::vector<uint8_t> before = scratch_.Read("a.img");
  EXPECT_EQ(WriteBackImgEntry(damaged, "walk.ifp", Package(package_)), ImgWriteBackResult::NothingWritten)
      << "not terabytes past the end";
  EXPECT_EQ(scratch_.Read("a.img"), before);
}

// Sectors past every record's, as an interrupted save leaves them, belong to
// no entry: the next append writes over them, and what is left of them after
// the package is cut off. Never over the sectors of walk.ifp itself, which
// hold its data until its record points elsewhere, nor over the directory,
// which may outrun the records (71 of them run into sector 1 here).
TEST_F(ImgWriteBack, AppendsTakeAgainTheSectorsPastEveryRecord) {
  std::vector<Record> longDirectory{{0, 0, "walk.ifp"}};
  for (int i = 0; i < 70; ++i) longDirectory.push_back({0, 0, "empty.ifp"});
  struct Case {
    std::vector<Record> records;  // walk.ifp first
    size_t dataSectors;
    uint32_t writtenAt;
  };
  for (const Case& c : {Case{{{3, 1, "walk.ifp"}, {1, 2, "a.ifp"}}, 8, 4},  // walk.ifp's sector last
                        Case{{{1, 1, "walk.ifp"}, {2, 2, "a.ifp"}}, 8, 4},
                        Case{{{1, 1, "walk.ifp"}, {2, 2, "a.ifp"}}, 4, 4},  // one sector past a.ifp
                        Case{{{0, 0, "walk.ifp"}}, 3, 1}, Case{longDirectory, 0, 2}}) {
    SCOPED_TRACE(testing::Message() << c.records.size() << " records, " << c.dataSectors << " data sectors");
    std::string archive = Archive(c.records, c.dataSectors);
    std::vector<uint8_t> expected = scratch_.Read("a.img");
    expected.resize(c.writtenAt * 2048);
    const uint32_t walk[] = {c.writtenAt, 3};
    std::memcpy(expected.data() + 8, walk, sizeof walk);
    const std::vector<uint8_t> package = Padded(package_, 3);
    expected.insert(expected.end(), package.begin(), package.end());
    EXPECT_EQ(WriteBackImgEntry(archive, "walk.ifp", Package(package_)), ImgWriteBackResult::Written);
    EXPECT_EQ(scratch_.Read("a.img"), expected) << "the package after the last record's sectors, and nothing after";
  }
}

TEST_F(ImgWriteBack, AFullDiskLeavesTheArchiveAsItWas) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs a limit on file sizes to make the write fail";
#else
  // walk.ifp, the last entry, needs 3 sectors: appended when its record
  // claims 1, written in place when it claims 5 running past the end. Where
  // the limit lies inside the archive, putting back the entry's first sector
  // fails half way as the write did, yet leaves the archive as it was: the
  // save failed, but nothing was damaged. Sectors past every record, which
  // the append writes over, get their bytes back.
  struct Case {
    uint32_t claimed;
    int64_t room;  // bytes the file may grow by; below 0 it is over the limit already
    size_t unclaimedSectors = 0;
  };
  for (Case c : {Case{1, 0}, Case{1, 4096}, Case{5, 2048}, Case{5, -1024}, Case{1, 0, 1}, Case{1, -2048, 2}}) {
    std::vector<uint8_t> before =
        BuildImgArchive({{"a.ifp", PatternData(10, 1)}, {"walk.ifp", PatternData(10, 2)}});
    std::memcpy(before.data() + 8 + 32 + 4, &c.claimed, 4);
    const std::vector<uint8_t> unclaimed = PatternData(c.unclaimedSectors * 2048, 3);
    before.insert(before.end(), unclaimed.begin(), unclaimed.end());
    std::string archive = scratch_.Write("a.img", before);
    std::string package = Package(package_);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit limit = old;
    limit.rlim_cur = static_cast<rlim_t>(static_cast<int64_t>(before.size()) + c.room);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    ImgWriteBackResult result = WriteBackImgEntry(archive, "walk.ifp", package);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    SCOPED_TRACE(testing::Message() << c.claimed << " sectors, room " << c.room << ", " << c.unclaimedSectors
                                    << " unclaimed");
    EXPECT_EQ(result, ImgWriteBackResult::WriteFailed);
    EXPECT_EQ(scratch_.Read("a.img"), before);
  }
#endif
}

}  // namespace
}  // namespace zam
