// Open, Save (to files and into archive entries) and Save As.

#include <cstring>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "editor_fixture.h"
#include "img_builder.h"
#include "platform/win32/wide_text.h"
#include "app/win32/view_updates.h"
#include "resource.h"

namespace zam::test {
namespace {

using FileCommands = EditorTest;

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

// Runs the built zam.exe in `folder` with `arguments`; its exit code.
DWORD RunZam(const std::string& folder, const std::string& arguments) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string program = self;
  program = program.substr(0, program.find_last_of('\\')) + "\\..\\tools\\zam.exe";
  std::string command = "zam.exe " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

TEST_F(FileCommands, OpenUsesTheIfpFilterAndFlags) {
  Start();
  prompts_.chosenPaths = {WritePackage("walk.ifp", TestPackage())};
  Command(ID_IFP_OPEN);
  ASSERT_EQ(prompts_.fileDialogs.size(), 1u);
  EXPECT_EQ(prompts_.fileDialogs[0].owner, window_);
  EXPECT_EQ(prompts_.fileDialogs[0].filter, std::wstring(L"Zelcor:HV IFP (*.ifp)\0*.ifp\0", 28));
  EXPECT_EQ(prompts_.fileDialogs[0].flags, static_cast<DWORD>(OFN_PATHMUSTEXIST | OFN_HIDEREADONLY));
  EXPECT_EQ(prompts_.fileDialogs[0].folder, Main().browser.state.browsePath) << "where the browser is";
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 4);
  // A read leaves no animation current and the time displays at "0.00".
  EXPECT_EQ(Model().currentAnimation(), -1);
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
  ShowChanges(Main(), Main().editor.TakeAsDocument(TestPackage(kFormatANP3, 2), DocumentState{}));
  Command(ID_IFP_SAVE);
  ASSERT_EQ(prompts_.fileDialogs.size(), 2u);
  EXPECT_EQ(prompts_.fileDialogs[1].flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT))
      << "asks before replacing a file";
  EXPECT_EQ(prompts_.fileDialogs[1].defaultExtension, L"ifp");
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
  ASSERT_EQ(prompts_.messages.size(), 1u) << "the scale of the KRTS tracks, named";
  WriteFile(Path("other.ifp"), std::vector<uint8_t>(100000, 0xAA));
  prompts_.chosenPaths = {Path("other.ifp")};
  Command(ID_IFP_SAVE_AS);
  EXPECT_EQ(prompts_.messages.size(), 2u) << "the scale named again, nothing asked";
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
  EXPECT_TRUE(CannotOpenWithReason(prompts_.messages[0].text)) << prompts_.messages[0].text;
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(ReadFile(path), before);
}

TEST_F(FileCommands, AReadOnlyFileIsRefusedBySaveAndSaveAsAndKeepsItsMark) {
  std::string path = WritePackage("walk.ifp", TestPackage());
  std::vector<uint8_t> before = ReadFile(path);
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  Start({path});
  Rename(IDC_ANIMATION_LIST, 0, "idle");
  Command(ID_IFP_SAVE);
  prompts_.chosenPaths = {path};
  Command(ID_IFP_SAVE_AS);
  ASSERT_EQ(prompts_.messages.size(), 2u);
  for (const FakePrompts::Shown& shown : prompts_.messages) {
    EXPECT_EQ(shown.text, "File cannot open.\nThe file is read-only.");
  }
  EXPECT_EQ(Title(), "walk.ifp* - Zelcor Animation Manager");
  EXPECT_EQ(ReadFile(path), before);
  EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A save to ANP3 names the KRTS tracks whose scale it left out, their names
// through the code page, in a box with the exclamation mark; the file is written.
TEST_F(FileCommands, SavingAsAnp3NamesTheTracksThatLostTheirScale) {
  AnimPackage package = TestPackage(kFormatANPK, 2);
  SetName(package.animations[1].bones[1].name, "caf\xE9");
  std::string path = WritePackage("walk.ifp", package);
  Start({path});
  SendDlgItemMessageA(window_, IDC_LAYOUT_BOX, CB_SETCURSEL, 1, 0);
  ControlCommand(IDC_LAYOUT_BOX, CBN_SELCHANGE);
  Command(ID_IFP_SAVE);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text,
            "The package was saved as ANP3, which stores no scale: these KRTS tracks were written as KRT0, without "
            "their scale (2 in all):\nanim0: Spine\nanim1: " + Utf8FromWide(WideFromCodePage("caf\xE9")));
  EXPECT_EQ(prompts_.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(ReadPackage(path).format, kFormatANP3);
  EXPECT_EQ(Title(), "walk.ifp - Zelcor Animation Manager");
}

// A package whose animation count went negative opens with the message and
// what was read (nothing); Save asks where to write it, as Save As does,
// instead of leaving a package header of the whole file.
TEST_F(FileCommands, ADamagedFileIsReportedAndSaveAsksWhereToWriteIt) {
  std::vector<uint8_t> damaged = ReadFile(WritePackage("damaged.ifp", TestPackage(kFormatANP3, 4)));
  const int32_t negative = -1;
  std::memcpy(damaged.data() + 32, &negative, 4);  // the animation count
  WriteFile(Path("damaged.ifp"), damaged);
  Start();
  prompts_.chosenPaths = {Path("damaged.ifp"), ""};
  Command(ID_IFP_OPEN);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text,
            "The file is damaged: it declares a negative count. Only what comes before it was read.\n"
            "Animations read: 0");
  EXPECT_EQ(prompts_.messages[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(Title(), "damaged.ifp - Zelcor Animation Manager");
  EXPECT_EQ(Rows(IDC_ANIMATION_LIST), 0);
  Command(ID_IFP_SAVE);
  ASSERT_EQ(prompts_.fileDialogs.size(), 2u);
  EXPECT_EQ(prompts_.fileDialogs[1].flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT))
      << "asks before replacing the file";
  EXPECT_EQ(ReadFile(Path("damaged.ifp")), damaged);
}

// Export to glTF, on the selected animations with the loaded character and
// weapon, writes the file zam writes from the same files; without a
// character it says so and asks for no file.
TEST_F(FileCommands, ExportToGltfWritesWhatZamWritesForTheSameFiles) {
  WriteDemoFiles();
  Start({Path("demo.ifp")});
  Command(ID_ANIM_EXPORT_GLTF);
  ASSERT_EQ(prompts_.messages.size(), 1u);
  EXPECT_EQ(prompts_.messages[0].text, "Export to glTF needs a character model that loaded completely.");
  EXPECT_TRUE(prompts_.fileDialogs.empty());

  ASSERT_TRUE(LoadModel(ModelRole::Character, Path("character.dff")));
  ASSERT_TRUE(LoadModel(ModelRole::Weapon, Path("pistol.dff")));
  Click(IDC_ANIMATION_LIST, 0);
  Click(IDC_ANIMATION_LIST, 2, true);
  prompts_.chosenPaths = {Path("editor.glb")};
  Command(ID_ANIM_EXPORT_GLTF);
  ASSERT_EQ(prompts_.fileDialogs.size(), 1u);
  EXPECT_EQ(prompts_.fileDialogs[0].filter, std::wstring(L"glTF binary (*.glb)\0*.glb\0", 26));
  EXPECT_EQ(prompts_.fileDialogs[0].flags, static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
  EXPECT_EQ(prompts_.fileDialogs[0].defaultExtension, L"glb");
  EXPECT_EQ(prompts_.messages.size(), 1u) << "nothing more to say";

  ASSERT_EQ(RunZam(dir_,
                   "gltf character.dff character.txd demo.ifp zam.glb --animation idle wave "
                   "--weapon pistol.dff pistol.txd"),
            0u);
  const std::vector<uint8_t> exported = ReadFile(Path("editor.glb"));
  EXPECT_GT(exported.size(), 1000u);
  EXPECT_EQ(exported, ReadFile(Path("zam.glb")));
}

using ArchiveSave = EditorTest;

TEST_F(ArchiveSave, ArchiveHeldOpenByAnotherProgramKeepsTheMark) {
  std::string archive = Path("anim.img");
  WriteFile(archive, gen::BuildImgArchive({{"walk.ifp", ReadFile(WritePackage("walk.ifp", TestPackage()))}}));
  Start();
  ShowChanges(Main(), Main().editor.OpenArchiveEntry(archive, "walk.ifp"));
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
