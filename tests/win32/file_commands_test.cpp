// Open, Save (to files and into archive entries) and Save As.

#include <cstring>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "editor_fixture.h"
#include "img_builder.h"
#include "app/win32/editor_views.h"
#include "resource.h"

namespace zam::test {
namespace {

using FileCommands = EditorTest;

AnimPackage ReadBack(const std::vector<uint8_t>& bytes) {
  AnimPackage package{};
  EXPECT_EQ(ReadIfp(bytes.data(), bytes.size(), package), IfpReadStatus::Ok);
  return package;
}

// Holds a file open without sharing, as another program might.
class HeldOpen {
 public:
  explicit HeldOpen(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~HeldOpen() { CloseHandle(handle_); }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

TEST_F(FileCommands, OpenUsesTheIfpFilterAndFlags) {
  Start();
  prompts_.chosenPaths = {WritePackage("walk.ifp", TestPackage())};
  Command(ID_IFP_OPEN);
  ASSERT_EQ(prompts_.fileDialogs.size(), 1u);
  EXPECT_EQ(prompts_.fileDialogs[0].hwndOwner, window_);
  EXPECT_EQ(std::memcmp(prompts_.fileDialogs[0].lpstrFilter, "Zelcor:HV IFP (*.ifp)\0*.ifp\0\0", 30), 0);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 4);
  // A read leaves no animation current and the time displays at "0.00".
  EXPECT_EQ(State().currentAnimation, -1);
  EXPECT_EQ(Rows(IDC_BONE_LIST), 0);
  EXPECT_EQ(Text(IDC_CURRENT_FRAME), "0.00");
  EXPECT_EQ(Text(IDC_FRAME_COUNT), "0.00");
  EXPECT_EQ(SendDlgItemMessageA(window_, IDC_TIME_BAR, TBM_GETPOS, 0, 0), 0);
}

// An empty package is never written over a file; a new document's Save asks
// for a name.
TEST_F(FileCommands, SaveOfANewDocumentAsksForANameAndAnEmptyOneIsNeverWritten) {
  Start();
  WriteFile(Path("keep.ifp"), {1, 2, 3});
  prompts_.chosenPaths = {Path("keep.ifp"), Path("new.ifp")};
  Command(ID_IFP_SAVE_AS);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "Unknown Format String.");
  EXPECT_EQ(ReadFile(Path("keep.ifp")), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Title(), "new - Zelcor Animation Manager");
  State().package = TestPackage(kFormatANP3, 2);
  Command(ID_IFP_SAVE);
  ASSERT_EQ(prompts_.fileDialogs.size(), 2u);
  EXPECT_EQ(prompts_.fileDialogs[1].Flags, static_cast<DWORD>(OFN_HIDEREADONLY));
  EXPECT_STREQ(prompts_.fileDialogs[1].lpstrDefExt, "ifp");
  EXPECT_EQ(Title(), "new.ifp - Zelcor Animation Manager");
  EXPECT_EQ(ReadPackage(Path("new.ifp")).animationCount(), 2);
}

// Save writes the switched layout and clears the mark; Save As replaces an
// existing, longer file without asking.
TEST_F(FileCommands, SaveWritesTheSwitchedLayoutAndSaveAsReplacesAFile) {
  std::string path = WritePackage("walk.ifp", TestPackage(kFormatANPK, 4));
  Start({path});
  Rename(IDC_ANIMATION_LIST, 0, "idle");
  SendDlgItemMessageA(window_, IDC_LAYOUT_BOX, CB_SETCURSEL, 1, 0);
  ControlCommand(IDC_LAYOUT_BOX, CBN_SELCHANGE);
  Command(ID_IFP_SAVE);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  AnimPackage saved = ReadPackage(path);
  EXPECT_EQ(saved.format, kFormatANP3);
  EXPECT_EQ(NameText(saved.animations[0].name), "idle");
  WriteFile(Path("other.ifp"), std::vector<uint8_t>(100000, 0xAA));
  prompts_.chosenPaths = {Path("other.ifp")};
  Command(ID_IFP_SAVE_AS);
  EXPECT_TRUE(prompts_.messages.empty());
  EXPECT_EQ(Title(), "other.ifp - Zelcor Animation Manager");
  EXPECT_LT(ReadFile(Path("other.ifp")).size(), 100000u) << "nothing of the longer old content survives";
  EXPECT_EQ(ReadPackage(Path("other.ifp")).animationCount(), 4);
}

TEST_F(FileCommands, SaveIntoAFileHeldOpenFailsAndKeepsTheFileAndTheMark) {
  std::string path = WritePackage("walk.ifp", TestPackage());
  std::vector<uint8_t> before = ReadFile(path);
  Start({path});
  Rename(IDC_ANIMATION_LIST, 0, "idle");
  {
    HeldOpen other(path);
    ASSERT_TRUE(other.ok());
    Command(ID_IFP_SAVE);
  }
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "File cannot open.");
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(ReadFile(path), before);
}

// A cut file opens with a word about it, and shows and saves only the
// animations it holds, never blank ones.
TEST_F(FileCommands, TruncatedPackageSaysSoAndKeepsOnlyWhatWasRead) {
  std::vector<uint8_t> whole;
  WriteIfp(TestPackage(kFormatANP3, 6), whole);
  std::vector<uint8_t> half(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
  WriteFile(Path("cut.ifp"), half);
  Start({Path("cut.ifp")});
  AnimPackage expected{};
  ASSERT_EQ(ReadIfp(half.data(), half.size(), expected), IfpReadStatus::Truncated);
  ASSERT_LT(expected.animationCount(), 6);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "The file ends early: only what it holds was read.\nAnimations read: " +
                                           std::to_string(expected.animationCount()));
  EXPECT_EQ(prompts_.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(Title(), "cut.ifp - Zelcor Animation Manager");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), expected.animationCount());

  Rename(IDC_ANIMATION_LIST, 0, "first");
  Command(ID_IFP_SAVE);
  AnimPackage saved = ReadPackage(Path("cut.ifp"));
  EXPECT_EQ(saved.animationCount(), expected.animationCount());
  EXPECT_EQ(NameText(saved.animations[0].name), "first");
}

class ArchiveSave : public EditorTest {
 protected:
  // An archive whose entry "walk.ifp" has `sectors` sectors, after "a.dff".
  std::string MakeArchive(uint32_t sectors) {
    std::vector<uint8_t> archive = gen::BuildImgArchive(
        {{"a.dff", gen::PatternData(3000, 1)}, {"walk.ifp", std::vector<uint8_t>(sectors * 2048, 0x11)}});
    WriteFile(Path("anim.img"), archive);
    return Path("anim.img");
  }
  uint32_t DirectoryWord(const std::vector<uint8_t>& archive, int entry, int word) {
    uint32_t value;
    std::memcpy(&value, archive.data() + 8 + entry * 32 + word * 4, 4);
    return value;
  }
  void OpenEntry(const std::string& archive, const AnimPackage& package) {
    Start();
    State().package = package;
    SetDocumentFromArchiveEntry(State().document, archive, "walk.ifp");
    SetWindowTextA(window_, DocumentTitle(State().document).c_str());
    RefreshPackageView(State());
  }
};

// In place when the entry has room (4 sectors), appended after the last whole
// sector when it has not (1 sector).
TEST_F(ArchiveSave, PackageIsWrittenInPlaceWhenItFitsAndAppendedWhenNot) {
  for (uint32_t sectors : {4u, 1u}) {
    std::string archive = MakeArchive(sectors);
    std::vector<uint8_t> before = ReadFile(archive);
    OpenEntry(archive, TestPackage(kFormatANPK, sectors == 4 ? 1 : 8));
    Rename(IDC_ANIMATION_LIST, 0, "idle");
    Command(ID_IFP_SAVE);
    EXPECT_TRUE(prompts_.messages.empty());
    EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
    std::vector<uint8_t> after = ReadFile(archive);
    const uint32_t offset = DirectoryWord(after, 1, 0);
    EXPECT_EQ(offset, sectors == 4 ? DirectoryWord(before, 1, 0) : before.size() / 2048) << sectors;
    EXPECT_EQ(after.size(), sectors == 4 ? before.size() : (offset + DirectoryWord(after, 1, 1)) * 2048);
    std::vector<uint8_t> entry(after.begin() + offset * 2048, after.end());
    EXPECT_EQ(NameText(ReadBack(entry).animations[0].name), "idle");
    Close();
  }
}

TEST_F(ArchiveSave, ArchiveHeldOpenByAnotherProgramKeepsTheMark) {
  std::string archive = MakeArchive(4);
  OpenEntry(archive, TestPackage(kFormatANPK, 1));
  Rename(IDC_ANIMATION_LIST, 0, "idle");
  HeldOpen other(archive);
  ASSERT_TRUE(other.ok());
  Command(ID_IFP_SAVE);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "File cannot open.");
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
}

}  // namespace
}  // namespace zam::test
