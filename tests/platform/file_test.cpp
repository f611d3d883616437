// The file and temporary-file services the archive code stands on, and the
// replacement of whole files that every save goes through.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/temp_file.h"
#include "platform/temporary_notes.h"
#include "platform/write_journal.h"
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

// Writes a note as a process killed before it removed it leaves it.
void WriteAbandonedNote(const std::string& name, const std::string& temporary) {
  File note = File::Create(TemporaryNotesFolder() + name + ".note");
  ASSERT_TRUE(note.IsOpen() && note.Write(temporary.data(), temporary.size()));
}

size_t NoteCount() {
  size_t notes = 0;
  for (const auto& item : std::filesystem::directory_iterator(std::filesystem::u8path(TemporaryNotesFolder()))) {
    notes += item.path().extension() == ".note";
  }
  return notes;
}

TEST(TemporaryNotes, AStartRemovesWhatKilledProcessesLeftAndNothingElse) {
  ScratchFolder scratch;
  ASSERT_FALSE(TemporaryNotesFolder().empty());
  scratch.MakeFolder("sub");
  for (const char* name : {".zam-Ab12Cd", "ifpA1B2.tmp", "a.ifp", "sub/ifp123.tmp", ".zam-Ef34Gh"}) scratch.Write(name, {1});
  WriteAbandonedNote("save", scratch.Path(".zam-Ab12Cd"));
  WriteAbandonedNote("copy", scratch.Path("ifpA1B2.tmp"));
  WriteAbandonedNote("other", scratch.Path("a.ifp"));
  WriteAbandonedNote("elsewhere", scratch.Path("sub/ifp123.tmp"));
  WriteAbandonedNote("gone", scratch.Path(".zam-Gh56Ij"));
  TemporaryNote running = TemporaryNote::Begin();
  running.Name(scratch.Path(".zam-Ef34Gh"));

  RemoveAbandonedTemporaries();
  EXPECT_FALSE(scratch.Exists(".zam-Ab12Cd")) << "a save's temporary, however young";
  EXPECT_FALSE(scratch.Exists("ifpA1B2.tmp")) << "a copy in the temporary folder";
  EXPECT_TRUE(scratch.Exists("a.ifp") && scratch.Exists("sub/ifp123.tmp")) << "not named and placed as ours";
  EXPECT_TRUE(scratch.Exists(".zam-Ef34Gh")) << "its save is still running";
  EXPECT_EQ(NoteCount(), 1u) << "only the running save's note stays";
  running.End();
  EXPECT_EQ(NoteCount(), 0u);

  TempFile copy = TempFile::Create("ifp");
  std::string copyPath = copy.path();
  EXPECT_EQ(NoteCount(), 1u) << "a copy is noted while it exists";
  RemoveAbandonedTemporaries();
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(copyPath)));
  copy.Remove();
  EXPECT_EQ(NoteCount(), 0u);
}

// A journal whose changes cannot all be made now stays, noted; the next start
// makes them before it removes the temporaries they rename into place.
TEST(WriteJournal, ChangesNotMadeAtOnceAreMadeByTheNextStart) {
  ScratchFolder scratch;
  scratch.Write("a.dir", {1, 2, 3, 4});
  scratch.Write(".zam-Tmp001", {7, 7});
  WriteAbandonedNote("renamed", scratch.Path(".zam-Tmp001"));
  std::string folder = scratch.Path("a.dir").substr(0, scratch.Path("a.dir").size() - 5);
  WriteJournal journal;
  journal.Write("a.dir", 1, {9, 9});
  journal.Rename(".zam-Tmp001", "a.img");
  journal.SetSize("later.dir", 2);  // not there yet: the change waits
  EXPECT_EQ(journal.Commit(folder), WriteJournal::Outcome::Pending);
  EXPECT_EQ(scratch.Read("a.dir"), (std::vector<uint8_t>{1, 9, 9, 4}));
  EXPECT_EQ(scratch.Read("a.img"), (std::vector<uint8_t>{7, 7}));
  scratch.Write("a.dir", {1, 2, 3, 4});  // as if the kill came before the first change
  scratch.Write(".zam-Tmp001", {8, 8});
  scratch.Write("later.dir", {5, 5, 5});
  RemoveAbandonedTemporaries();
  EXPECT_EQ(scratch.Read("a.dir"), (std::vector<uint8_t>{1, 9, 9, 4}));
  EXPECT_EQ(scratch.Read("a.img"), (std::vector<uint8_t>{8, 8})) << "renamed, not removed as a temporary";
  EXPECT_EQ(scratch.Read("later.dir"), (std::vector<uint8_t>{5, 5}));
  EXPECT_EQ(NoteCount(), 0u);
  for (const auto& item : std::filesystem::directory_iterator(std::filesystem::u8path(folder))) {
    EXPECT_NE(item.path().filename().u8string().rfind(".zam-", 0), 0u) << item.path();
  }
}

TEST(ReplaceFile, ARefusedReplacementLeavesTheTargetAndSaysWhy) {
  ScratchFolder scratch;
  const auto readOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                        std::filesystem::perms::others_read;
  scratch.Write("locked.ifp", {1, 2, 3});
  std::filesystem::permissions(std::filesystem::u8path(scratch.Path("locked.ifp")), readOnly);
  FileResult locked = ReplaceFileAtomically(scratch.Path("locked.ifp"), {9});
  EXPECT_EQ(locked, FileStatus::ReadOnly) << "also for an administrator";
  EXPECT_EQ(locked.reason, "The file is read-only.");
  EXPECT_EQ(CheckReplaceable(scratch.Path("locked.ifp")), FileStatus::ReadOnly);
  EXPECT_EQ(scratch.Read("locked.ifp"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(std::filesystem::status(std::filesystem::u8path(scratch.Path("locked.ifp"))).permissions() &
                std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
  std::filesystem::permissions(std::filesystem::u8path(scratch.Path("locked.ifp")), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);

  FileResult missingFolder = ReplaceFileAtomically(scratch.Path("missing/a.ifp"), {1});
  EXPECT_EQ(missingFolder, FileStatus::CannotOpen);
  EXPECT_FALSE(missingFolder.reason.empty());
  scratch.MakeFolder("folder.ifp");
  FileResult folder = ReplaceFileAtomically(scratch.Path("folder.ifp"), {1});
  EXPECT_EQ(folder, FileStatus::CannotOpen);
  EXPECT_FALSE(folder.reason.empty());
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::u8path(scratch.Path("folder.ifp"))));
  FileResult missingFile = CheckReplaceable(scratch.Path("gone.ifp"));
  EXPECT_EQ(missingFile, FileStatus::CannotOpen);
  EXPECT_FALSE(missingFile.reason.empty());
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadWholeFile(scratch.Path("gone.ifp"), bytes).reason.empty());
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
  RemoveAbandonedTemporaries();  // its note
  EXPECT_EQ(NoteCount(), 0u);
  std::filesystem::remove_all(scratch.Path(ScratchFolder::kStateFolder));
  EXPECT_TRUE(std::filesystem::is_empty(scratch.Path("")));
#endif
}

TEST(ReplaceFile, AFailedWriteSaysWhyAndLeavesTheOldFile) {
#if defined(_WIN32)
  GTEST_SKIP() << "needs a limit on file sizes to make the write fail";
#else
  ScratchFolder scratch;
  scratch.Write("a.ifp", {1, 2});
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Past the limit, writes fail as on a full disk.
    rlimit small{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &small);
    std::signal(SIGXFSZ, SIG_IGN);
    FileResult result = ReplaceFileAtomically(scratch.Path("a.ifp"), std::vector<uint8_t>(65536, 1));
    _exit(result == FileStatus::WriteFailed && result.reason == std::strerror(EFBIG) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write failure with the system's reason";
  EXPECT_EQ(scratch.Read("a.ifp"), (std::vector<uint8_t>{1, 2}));
  std::filesystem::remove_all(scratch.Path(ScratchFolder::kStateFolder));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.Path("")), {}), 1) << "no temporary left";
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
  FileResult loop = ReplaceFileAtomically(scratch.Path("loop"), {1});
  EXPECT_EQ(loop, FileStatus::CannotOpen);
  EXPECT_EQ(loop.reason, std::strerror(ELOOP));
  EXPECT_TRUE(std::filesystem::is_symlink(scratch.Path("loop")));
#endif
}

}  // namespace
}  // namespace zam
