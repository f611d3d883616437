// The file and temporary-file services the archive code stands on, and the
// replacement of whole files that every save goes through.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/temp_file.h"
#include "support/scratch_folder.h"

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

TEST(PlatformFile, WritesSeeksResizesAndReadsBack) {
  ScratchFolder scratch;
  scratch.Write("a.bin", {1, 2, 3});
  File file = File::Create(scratch.Path("a.bin"));
  ASSERT_EQ(file.Size(), 0u) << "Create empties an existing file";
  ASSERT_TRUE(file.Write("abcdef", 6));
  ASSERT_TRUE(file.Seek(1));
  ASSERT_TRUE(file.SeekBy(2));
  char two[2];
  EXPECT_EQ(file.Read(two, 2), 2u);
  EXPECT_EQ(std::string(two, 2), "de");
  ASSERT_TRUE(file.SeekBy(-3));
  char rest[8];
  EXPECT_EQ(file.Read(rest, sizeof rest), 4u) << "a read stops at the end of the file";
  EXPECT_EQ(std::string(rest, 4), "cdef");
  ASSERT_TRUE(file.Seek(2));
  ASSERT_TRUE(file.SetSize(4));  // cuts, keeping the position
  EXPECT_EQ(file.Read(rest, sizeof rest), 2u);
  EXPECT_EQ(std::string(rest, 2), "cd");
  ASSERT_TRUE(file.SetSize(6));  // extends with zeros
  EXPECT_EQ(ReadAll(file), (std::vector<uint8_t>{'a', 'b', 'c', 'd', 0, 0}));
}

TEST(PlatformFile, RefusesMissingFilesWritesToReadOnlyOnesAndWholeReadsOfHugeOnes) {
  ScratchFolder scratch;
  EXPECT_FALSE(File::OpenRead(scratch.Path("missing")).IsOpen());
  EXPECT_FALSE(File::OpenReadWrite(scratch.Path("missing")).IsOpen());
  EXPECT_FALSE(File::OpenRead(scratch.Path("")).IsOpen()) << "a folder is not a file";
  EXPECT_FALSE(File::Create(scratch.Path("no/such/folder/a.bin")).IsOpen());
  scratch.Write("a.bin", {1, 2, 3});
  File file = File::OpenRead(scratch.Path("a.bin"));
  EXPECT_FALSE(file.Write("x", 1));
  EXPECT_FALSE(file.SetSize(1));
  EXPECT_EQ(scratch.Read("a.bin"), (std::vector<uint8_t>{1, 2, 3}));
  File moved = std::move(file);  // moving hands the handle over
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  moved.Close();
  EXPECT_FALSE(moved.IsOpen());
  EXPECT_EQ(moved.Read(nullptr, 0), 0u);
  ASSERT_TRUE(File::Create(scratch.Path("huge.ifp")).SetSize(kMaxWholeFileBytes + 1));  // sparse: no disk taken
  std::vector<uint8_t> bytes;
  EXPECT_EQ(ReadWholeFile(scratch.Path("huge.ifp"), bytes), FileStatus::CannotOpen) << "larger than any package";
}

TEST(TempFile, IsANewFileInTheTemporaryFolderDeletedByItsOwner) {
  ScratchFolder scratch;
  std::string released;
  {
    TempFile a = TempFile::Create("ifp"), b = TempFile::Create("dff"), c = TempFile::Create("txd");
    ASSERT_TRUE(a.IsOpen() && b.IsOpen() && c.IsOpen());
    EXPECT_EQ(a.file().Size(), 0u);
    std::vector<std::string> names = scratch.TempFiles();
    EXPECT_EQ(names.size(), 3u);
    for (const TempFile* temp : {&a, &b, &c})
      EXPECT_NE(std::find(names.begin(), names.end(), temp->path().substr(temp->path().find_last_of("/\\") + 1)),
                names.end());
    ASSERT_TRUE(a.file().Write("x", 1));
    released = a.Release();  // closed and kept for the new owner
    EXPECT_FALSE(a.IsOpen());
    TempFile kept = std::move(b);
    kept = std::move(c);  // assigning over a temporary file deletes it
    EXPECT_EQ(scratch.TempFiles().size(), 2u);
  }
  EXPECT_EQ(scratch.TempFiles().size(), 1u) << "moved-from objects delete nothing twice";
  EXPECT_EQ(ScratchFolder::ReadPath(released), (std::vector<uint8_t>{'x'}));
  EXPECT_TRUE(RemoveFile(released));
  EXPECT_FALSE(RemoveFile(released));
  TempFile removed = TempFile::Create("ifp");
  removed.Remove();
  EXPECT_TRUE(scratch.TempFiles().empty());
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
