// The file and temporary-file services the archive code stands on, and the
// replacement of whole files that every save goes through.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/temp_file.h"
#include "scratch_folder.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

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

TEST(ReplaceFile, AStaleLeftoverOfAnEarlierSaveGoesWhenTheNextSaveStarts) {
  ScratchFolder scratch;
  const std::vector<std::string> names = {".zam-Ab12Cd", ".zam-Ef34Gh", ".zam-Ab12", "x.zam-Ab12Cd"};
  for (const std::string& name : names) scratch.Write(name, {1});
  auto twoDaysAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
  for (const std::string& name : {names[0], names[2], names[3]}) {
    std::filesystem::last_write_time(scratch.Path(name), twoDaysAgo);
  }
  ASSERT_EQ(ReplaceFileAtomically(scratch.Path("a.ifp"), {1, 2}), FileStatus::Ok);
  EXPECT_FALSE(scratch.Exists(names[0])) << "a day old and named as the saves name them";
  EXPECT_TRUE(scratch.Exists(names[1])) << "may belong to a save still running";
  EXPECT_TRUE(scratch.Exists(names[2]) && scratch.Exists(names[3])) << "not ours";
}

TEST(ReplaceFile, ASaveKilledBeforeItsRenameLeavesNothingBehind) {
#if defined(_WIN32) || !defined(O_TMPFILE)
  GTEST_SKIP() << "files without a name exist only on Linux";
#else
  ScratchFolder scratch;
  int probe = open(scratch.Path("").c_str(), O_TMPFILE | O_WRONLY, 0600);
  if (probe < 0) GTEST_SKIP() << "this file system keeps no files without a name";
  close(probe);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Writing past a small file-size limit kills the saving process.
    rlimit noCore{0, 0}, small{4096, 4096};
    setrlimit(RLIMIT_CORE, &noCore);
    setrlimit(RLIMIT_FSIZE, &small);
    std::signal(SIGXFSZ, SIG_DFL);
    ReplaceFileAtomically(scratch.Path("a.ifp"), std::vector<uint8_t>(65536, 1));
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the save was not interrupted";
  EXPECT_TRUE(std::filesystem::is_empty(scratch.Path("")));
#endif
}

TEST(ReplaceFile, SavingThroughALinkReplacesTheFileItPointsTo) {
#if defined(_WIN32)
  GTEST_SKIP() << "making links needs privileges there";
#else
  ScratchFolder scratch;
  std::filesystem::create_directory(scratch.Path("sub"));
  scratch.Write("real.ifp", {1});
  std::filesystem::create_symlink("../real.ifp", scratch.Path("sub/link"));
  std::filesystem::create_symlink("sub/link", scratch.Path("link"));
  ASSERT_EQ(ReplaceFileAtomically(scratch.Path("link"), {7, 8}), FileStatus::Ok);
  EXPECT_TRUE(std::filesystem::is_symlink(scratch.Path("link")));
  EXPECT_TRUE(std::filesystem::is_symlink(scratch.Path("sub/link")));
  EXPECT_EQ(scratch.Read("real.ifp"), (std::vector<uint8_t>{7, 8}));
  std::filesystem::create_symlink("loop", scratch.Path("loop"));
  EXPECT_EQ(ReplaceFileAtomically(scratch.Path("loop"), {1}), FileStatus::CannotOpen);
  EXPECT_TRUE(std::filesystem::is_symlink(scratch.Path("loop")));
#endif
}

}  // namespace
}  // namespace zam
