// The file and temporary-file services the archive code stands on.

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/temp_file.h"
#include "scratch_folder.h"

namespace zam {
namespace {

using test::ReadAll;
using test::ScratchFolder;

TEST(PlatformFile, WritesSeeksAndReadsBack) {
  ScratchFolder scratch;
  File file = File::Create(scratch.Path("a.bin"));
  ASSERT_TRUE(file.IsOpen());
  ASSERT_TRUE(file.Write("abcdef", 6));
  EXPECT_EQ(file.Size(), 6u);
  ASSERT_TRUE(file.Seek(1));
  ASSERT_TRUE(file.SeekBy(2));
  char two[2];
  EXPECT_EQ(file.Read(two, 2), 2u);
  EXPECT_EQ(std::string(two, 2), "de");
  ASSERT_TRUE(file.SeekBy(-3));
  char rest[8];
  EXPECT_EQ(file.Read(rest, sizeof rest), 4u) << "a read stops at the end of the file";
  EXPECT_EQ(std::string(rest, 4), "cdef");
}

TEST(PlatformFile, CreateEmptiesAnExistingFile) {
  ScratchFolder scratch;
  scratch.Write("a.bin", {1, 2, 3});
  File file = File::Create(scratch.Path("a.bin"));
  EXPECT_EQ(file.Size(), 0u);
}

TEST(PlatformFile, OpensOnlyExistingRegularFiles) {
  ScratchFolder scratch;
  EXPECT_FALSE(File::OpenRead(scratch.Path("missing")).IsOpen());
  EXPECT_FALSE(File::OpenReadWrite(scratch.Path("missing")).IsOpen());
  EXPECT_FALSE(File::OpenRead(scratch.Path("")).IsOpen()) << "a folder is not a file";
  EXPECT_FALSE(File::Create(scratch.Path("no/such/folder/a.bin")).IsOpen());
}

TEST(PlatformFile, ReadOnlyFilesRefuseWrites) {
  ScratchFolder scratch;
  scratch.Write("a.bin", {1, 2, 3});
  File file = File::OpenRead(scratch.Path("a.bin"));
  ASSERT_TRUE(file.IsOpen());
  EXPECT_FALSE(file.Write("x", 1));
  EXPECT_EQ(scratch.Read("a.bin"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(PlatformFile, MovingHandsTheHandleOver) {
  ScratchFolder scratch;
  File first = File::Create(scratch.Path("a.bin"));
  File second = std::move(first);
  EXPECT_FALSE(first.IsOpen());
  EXPECT_TRUE(second.Write("x", 1));
  second.Close();
  EXPECT_FALSE(second.IsOpen());
  EXPECT_FALSE(second.Write("x", 1));
  EXPECT_EQ(second.Read(nullptr, 0), 0u);
}

TEST(PlatformFile, SetSizeCutsOrExtendsWithZerosAndKeepsThePosition) {
  ScratchFolder scratch;
  File file = File::Create(scratch.Path("a.bin"));
  ASSERT_TRUE(file.Write("abcdef", 6));
  ASSERT_TRUE(file.Seek(2));
  ASSERT_TRUE(file.SetSize(4));
  char rest[8];
  EXPECT_EQ(file.Read(rest, sizeof rest), 2u);
  EXPECT_EQ(std::string(rest, 2), "cd");
  ASSERT_TRUE(file.SetSize(6));
  EXPECT_EQ(ReadAll(file), (std::vector<uint8_t>{'a', 'b', 'c', 'd', 0, 0}));
  EXPECT_FALSE(File::OpenRead(scratch.Path("a.bin")).SetSize(1)) << "read-only";
}

TEST(PlatformFile, PositionsBeyondFourGigabytes) {
#if defined(_WIN32)
  GTEST_SKIP() << "writing past 4 GB fills the gap on disk where files are not sparse";
#else
  ScratchFolder scratch;
  File file = File::Create(scratch.Path("big.bin"));
  const uint64_t far = (uint64_t{1} << 32) + 5;
  ASSERT_TRUE(file.Seek(far));
  ASSERT_TRUE(file.Write("z", 1));
  EXPECT_EQ(file.Size(), far + 1);
  ASSERT_TRUE(file.Seek(far));
  char z = 0;
  EXPECT_EQ(file.Read(&z, 1), 1u);
  EXPECT_EQ(z, 'z');
#endif
}

TEST(TempFile, IsANewEmptyFileInTheTemporaryFolderDeletedWithItsOwner) {
  ScratchFolder scratch;
  {
    TempFile temp = TempFile::Create("ifp");
    ASSERT_TRUE(temp.IsOpen());
    EXPECT_EQ(temp.file().Size(), 0u);
    std::vector<std::string> names = scratch.TempFiles();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(scratch.Path(names[0]), temp.path());
    ASSERT_TRUE(temp.file().Write("data", 4));
    EXPECT_EQ(ReadAll(temp.file()), (std::vector<uint8_t>{'d', 'a', 't', 'a'}));
  }
  EXPECT_TRUE(scratch.TempFiles().empty());
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of("/\\") + 1); }

TEST(TempFile, EachPrefixGetsItsOwnFile) {
  ScratchFolder scratch;
  TempFile a = TempFile::Create("ifp"), b = TempFile::Create("dff"), c = TempFile::Create("txd");
  ASSERT_TRUE(a.IsOpen() && b.IsOpen() && c.IsOpen());
  EXPECT_EQ(scratch.TempFiles().size(), 3u);
  EXPECT_EQ(FileName(a.path()).substr(0, 3), "ifp");
  EXPECT_EQ(FileName(b.path()).substr(0, 3), "dff");
  EXPECT_EQ(FileName(c.path()).substr(0, 3), "txd");
}

TEST(TempFile, MovingTransfersTheDutyToDelete) {
  ScratchFolder scratch;
  TempFile kept;
  {
    TempFile made = TempFile::Create("dff");
    kept = std::move(made);
  }
  EXPECT_EQ(scratch.TempFiles().size(), 1u) << "the moved-from object deletes nothing";
  kept = TempFile::Create("txd");
  EXPECT_EQ(scratch.TempFiles().size(), 1u) << "assigning over a temporary file deletes it";
  kept.Remove();
  EXPECT_TRUE(scratch.TempFiles().empty());
}

TEST(TempFile, ReleaseClosesAndKeepsTheFileForTheNewOwner) {
  ScratchFolder scratch;
  std::string path;
  {
    TempFile temp = TempFile::Create("ifp");
    ASSERT_TRUE(temp.file().Write("x", 1));
    path = temp.Release();
    EXPECT_FALSE(temp.IsOpen());
  }
  EXPECT_EQ(ScratchFolder::ReadPath(path), (std::vector<uint8_t>{'x'}));
  EXPECT_TRUE(RemoveFile(path)) << "the file was closed, so it can be deleted";
  EXPECT_FALSE(RemoveFile(path));
}

}  // namespace
}  // namespace zam
