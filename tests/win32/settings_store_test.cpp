// The settings file through the profile functions: a file in a folder of
// any name, old 8-bit files read and kept as they are, and a file turned to
// UTF-16 (every line kept) before a value the code page cannot hold.

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/win32/settings_store_win32.h"
#include "platform/win32/wide_text.h"
#include "support/scratch_folder.h"

namespace zam::test {
namespace {

const std::string kFile = "Настройки 設定/ZelcorAnimManager.ini";

// The file's text: UTF-16LE after its byte order mark, or 8-bit text.
std::wstring FileText(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) {
    return WideFromCodePage(std::string(bytes.begin(), bytes.end()));
  }
  std::wstring text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) text += static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
  return text;
}

bool IsUnicode(const std::vector<uint8_t>& bytes) { return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE; }

TEST(ProfileSettingsStore, KeepsAnOldFileUntilAValueNeedsUnicode) {
  ScratchFolder scratch;
  scratch.MakeFolder("Настройки 設定");
  // A character of the code page, written as old versions wrote it.
  const std::string cafeBytes = "caf\xE9";
  const std::string cafe = Utf8FromWide(WideFromCodePage(cafeBytes));
  scratch.Write(kFile, [&] {
    std::string text = "[Directory]\r\nInitDir=C:\\" + cafeBytes + "\\\r\n[Preview]\r\nShowAxis=0\r\n";
    return std::vector<uint8_t>(text.begin(), text.end());
  }());
  ProfileSettingsStore store(scratch.ProgramPath(kFile));
  EXPECT_EQ(store.ReadText("Directory", "InitDir", "", 260), "C:\\" + cafe + "\\");
  EXPECT_EQ(store.ReadInt("Preview", "ShowAxis", 1), 0);
  EXPECT_EQ(store.ReadInt("Preview", "ShowMesh", 7), 7);
  EXPECT_EQ(store.ReadText("Preview", "Model", "none", 260), "none");

  store.WriteText("Preview", "Weapon", "C:\\" + cafe + "\\gun.dff");
  std::vector<uint8_t> bytes = scratch.Read(kFile);
  EXPECT_FALSE(IsUnicode(bytes)) << "the code page holds the value";
  EXPECT_NE(std::string(bytes.begin(), bytes.end()).find("Weapon=C:\\" + cafeBytes + "\\gun.dff"), std::string::npos);

  const std::string model = "C:\\Игры\\модели 模型\\ped.dff";
  store.WriteText("Preview", "Model", model);
  bytes = scratch.Read(kFile);
  ASSERT_TRUE(IsUnicode(bytes));
  std::wstring text = FileText(bytes);
  for (const std::string& line : std::vector<std::string>{"[Directory]", "InitDir=C:\\" + cafe + "\\", "ShowAxis=0",
                                                         "Weapon=C:\\" + cafe + "\\gun.dff", "Model=" + model}) {
    EXPECT_NE(text.find(WideFromUtf8(line)), std::wstring::npos) << line;
  }
  EXPECT_EQ(store.ReadText("Preview", "Model", "", 260), model);
  EXPECT_EQ(store.ReadText("Directory", "InitDir", "", 260), "C:\\" + cafe + "\\");
  EXPECT_EQ(store.ReadInt("Preview", "ShowAxis", 1), 0);

  store.WriteText("Directory", "InitDir", "C:\\Игры\\");
  store.WriteText("Directory", "ShowDFF", "0");
  bytes = scratch.Read(kFile);
  ASSERT_TRUE(IsUnicode(bytes));
  EXPECT_EQ(FileText(bytes).find(L'\xFEFF'), std::wstring::npos) << "one byte order mark";
  EXPECT_EQ(store.ReadText("Directory", "InitDir", "", 260), "C:\\Игры\\");
  EXPECT_EQ(store.ReadInt("Directory", "ShowDFF", 1), 0);
  EXPECT_EQ(store.ReadText("Preview", "Model", "", 260), model);
}

TEST(ProfileSettingsStore, ANewFileIsUnicodeOnlyWhenAValueNeedsIt) {
  ScratchFolder scratch;
  scratch.MakeFolder("Настройки 設定");
  ProfileSettingsStore plain(scratch.ProgramPath(kFile));
  plain.WriteText("Directory", "ShowDFF", "1");
  EXPECT_FALSE(IsUnicode(scratch.Read(kFile)));
  EXPECT_EQ(plain.ReadInt("Directory", "ShowDFF", 0), 1);

  ScratchFolder other;
  ProfileSettingsStore store(other.ProgramPath("ZelcorAnimManager.ini"));
  store.WriteText("Directory", "InitDir", "D:\\Аниме\\");
  EXPECT_TRUE(IsUnicode(other.Read("ZelcorAnimManager.ini")));
  EXPECT_EQ(store.ReadText("Directory", "InitDir", "", 260), "D:\\Аниме\\");
  EXPECT_EQ(store.ReadText("Directory", "Missing", "fallback", 260), "fallback");
}

}  // namespace
}  // namespace zam::test
