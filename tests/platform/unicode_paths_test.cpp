// Paths outside the 8-bit code page (Cyrillic and CJK folders and files):
// every file service takes and gives them as UTF-8, on Windows through the
// system's wide functions, on POSIX as the bytes they are.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/file.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/temp_file.h"
#include "platform/temporary_notes.h"
#include "support/scratch_folder.h"

namespace zam {
namespace {

using test::ScratchFolder;

const std::string kFolder = "Анимации";                  // Cyrillic
const std::string kPackage = "Анимации/прыжок.ifp";      // Cyrillic in a Cyrillic folder
const std::string kCjkPackage = "Анимации/動き.ifp";    // CJK
const std::string kCjkFolder = "Анимации/模型";

std::vector<std::string> SortedNames(const std::string& folder) {
  std::vector<FolderEntry> entries;
  EXPECT_TRUE(ListFolder(folder, entries)) << folder;
  std::vector<std::string> names;
  for (const FolderEntry& entry : entries) names.push_back(entry.name + (entry.isFolder ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

TEST(UnicodePaths, FilesAreCreatedReadReplacedListedAndDeleted) {
  ScratchFolder scratch;
  scratch.MakeFolder(kCjkFolder);
  File created = File::Create(scratch.Path(kPackage));
  ASSERT_TRUE(created.IsOpen());
  ASSERT_TRUE(created.Write("abc", 3));
  created.Close();
  scratch.Write(kCjkPackage, {4, 5});
  EXPECT_EQ(scratch.Read(kPackage), (std::vector<uint8_t>{'a', 'b', 'c'}));
  EXPECT_EQ(scratch.Read(kCjkPackage), (std::vector<uint8_t>{4, 5}));
  File reopened = File::OpenReadWrite(scratch.Path(kCjkPackage));
  ASSERT_TRUE(reopened.IsOpen());
  EXPECT_EQ(reopened.Size(), 2u);
  reopened.Close();

  EXPECT_EQ(KindOfPath(scratch.Path(kFolder)), PathKind::Folder);
  EXPECT_EQ(KindOfPath(scratch.Path(kCjkFolder)), PathKind::Folder);
  EXPECT_EQ(KindOfPath(scratch.Path(kPackage)), PathKind::File);
  EXPECT_EQ(KindOfPath(scratch.Path("Анимации/нет.ifp")), PathKind::Missing);
  EXPECT_EQ(SortedNames(scratch.Path(kFolder)), (std::vector<std::string>{"прыжок.ifp", "動き.ifp", "模型/"}))
      << "names come back as the same UTF-8";

  // The leftover of a save killed in this folder is found by its note.
  scratch.Write("Анимации/.zam-Ab12Cd", {1});
  std::string leftover = scratch.Path("Анимации/.zam-Ab12Cd");
  File note = File::Create(TemporaryNotesFolder() + "killed.note");
  ASSERT_TRUE(note.IsOpen() && note.Write(leftover.data(), leftover.size()));
  note.Close();
  RemoveAbandonedTemporaries();
  ASSERT_EQ(ReplaceFileAtomically(scratch.Path(kPackage), {7, 8, 9, 10}), FileStatus::Ok);
  EXPECT_EQ(scratch.Read(kPackage), (std::vector<uint8_t>{7, 8, 9, 10}));
  EXPECT_EQ(SortedNames(scratch.Path(kFolder)), (std::vector<std::string>{"прыжок.ifp", "動き.ifp", "模型/"}))
      << "no temporary left behind";
  ASSERT_EQ(ReplaceFileAtomically(scratch.Path("Анимации/новый.ifp"), {1}), FileStatus::Ok) << "a new file";
  EXPECT_EQ(scratch.Read("Анимации/новый.ifp"), (std::vector<uint8_t>{1}));

  EXPECT_TRUE(RemoveFile(scratch.Path(kCjkPackage)));
  EXPECT_FALSE(scratch.Exists(kCjkPackage));
  EXPECT_FALSE(RemoveFile(scratch.Path(kCjkPackage)));
}

TEST(UnicodePaths, TemporaryFilesLiveInATemporaryFolderOfAnyName) {
  ScratchFolder scratch;
  const std::string folder = "Временные 一時";
  scratch.MakeFolder(folder);
  scratch.SetTemporaryFolder(folder);
  TempFile temp = TempFile::Create("ifp");
  ASSERT_TRUE(temp.IsOpen());
  EXPECT_EQ(temp.path().find(folder), temp.path().find_last_of("/\\") - folder.size()) << temp.path();
  ASSERT_TRUE(temp.file().Write("x", 1));
  std::string path = temp.Release();
  EXPECT_EQ(ScratchFolder::ReadPath(path), (std::vector<uint8_t>{'x'}));
  EXPECT_EQ(KindOfPath(path), PathKind::File);
  EXPECT_TRUE(RemoveFile(path));
  std::vector<std::string> left = SortedNames(scratch.Path(folder));
  // Windows keeps the notes of temporaries in a folder of the temporary folder.
  left.erase(std::remove(left.begin(), left.end(), "zam-temporaries/"), left.end());
  EXPECT_TRUE(left.empty());
}

}  // namespace
}  // namespace zam
