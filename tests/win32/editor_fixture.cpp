#include "editor_fixture.h"

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "anim/ifp_reader.h"
#include "anim/ifp_writer.h"
#include "app/win32/view_updates.h"
#include "demo_animations.h"
#include "demo_models.h"
#include "dff_builder.h"
#include "platform/win32/wide_text.h"
#include "resource.h"
#include "txd_builder.h"

namespace zam::test {

int FakePrompts::MessageBoxW(HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
  messages.push_back({Utf8FromWide(text), Utf8FromWide(caption), type});
  if (answers.empty()) return IDOK;
  int answer = answers.front();
  answers.pop_front();
  return answer;
}

BOOL FakePrompts::ChooseColorW(CHOOSECOLORW* dialog) {
  colorDialogs.push_back(*dialog);
  if (chosenColors.empty()) return FALSE;
  dialog->rgbResult = chosenColors.front();
  chosenColors.pop_front();
  return TRUE;
}

BOOL FakePrompts::Choose(OPENFILENAMEW* dialog) {
  std::wstring filter;
  for (const wchar_t* part = dialog->lpstrFilter; part && *part; part += wcslen(part) + 1) filter += part + std::wstring(1, L'\0');
  fileDialogs.push_back({dialog->hwndOwner, filter, dialog->Flags, dialog->lpstrDefExt ? dialog->lpstrDefExt : L"",
                         dialog->lpstrInitialDir ? Utf8FromWide(dialog->lpstrInitialDir) : ""});
  if (chosenPaths.empty() || chosenPaths.front().empty()) {
    if (!chosenPaths.empty()) chosenPaths.pop_front();
    return FALSE;
  }
  lstrcpynW(dialog->lpstrFile, WideFromUtf8(chosenPaths.front()).c_str(), static_cast<int>(dialog->nMaxFile));
  chosenPaths.pop_front();
  return TRUE;
}

void EditorTest::SetUp() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  char unique[MAX_PATH];
  GetTempFileNameA(temp, "zed", 0, unique);
  DeleteFileA(unique);
  CreateDirectoryA(unique, nullptr);
  dir_ = unique;
  SetPrompts(&prompts_);
}

void EditorTest::TearDown() {
  Close();
  SetPrompts(nullptr);
  std::string from = dir_ + std::string(1, '\0');  // double-terminated list
  SHFILEOPSTRUCTA remove{};
  remove.wFunc = FO_DELETE;
  remove.pFrom = from.c_str();
  remove.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationA(&remove);
}

void EditorTest::Start(const std::vector<std::string>& arguments) {
  args_.programPath = Path("ZelcorAnimManager.exe");
  args_.arguments = {"ZelcorAnimManager.exe"};
  args_.arguments.insert(args_.arguments.end(), arguments.begin(), arguments.end());
  window_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc,
                               reinterpret_cast<LPARAM>(&args_));
  ASSERT_NE(window_, nullptr) << GetLastError();
  Pump();
}

std::string EditorTest::WritePackage(const std::string& name, const AnimPackage& package) {
  std::vector<uint8_t> bytes;
  WriteIfp(package, bytes);
  WriteFile(Path(name), bytes);
  return Path(name);
}

void EditorTest::WriteDemoFiles() {
  WritePackage("demo.ifp", gen::DemoPackage(kFormatANPK));
  WriteFile(Path("character.dff"), gen::BuildCharacterDff(gen::DemoCharacter()));
  WriteFile(Path("character.txd"), gen::BuildTxd(gen::DemoCharacterTextures()));
  WriteFile(Path("pistol.dff"), gen::BuildWeaponDff(gen::DemoWeapon()));
  WriteFile(Path("pistol.txd"), gen::BuildTxd(gen::DemoWeaponTextures()));
}

// Paths are UTF-8, as the program's.
void EditorTest::WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> EditorTest::ReadFile(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string EditorTest::Setting(const char* section, const char* key) const {
  char text[300] = {};
  GetPrivateProfileStringA(section, key, "(none)", text, sizeof text, Path("ZelcorAnimManager.ini").c_str());
  return text;
}

AnimPackage EditorTest::ReadPackage(const std::string& path) {
  std::vector<uint8_t> bytes = ReadFile(path);
  AnimPackage package{};
  EXPECT_EQ(ReadIfp(bytes.data(), bytes.size(), package), IfpReadStatus::Ok) << path;
  return package;
}

std::string EditorTest::Title() const {
  wchar_t text[1024] = {};
  GetWindowTextW(window_, text, 1024);
  return Utf8FromWide(text);
}

std::string EditorTest::Text(int id) const {
  char text[512] = {};
  GetDlgItemTextA(window_, id, text, sizeof text);
  return text;
}

void EditorTest::ControlCommand(int id, int notification) {
  SendMessageA(window_, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(Item(id)));
  Pump();
}

std::string EditorTest::Cell(int listId, int row, int column) const {
  char text[64] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(Item(listId), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

std::vector<std::string> EditorTest::Column(int listId, int column) const {
  std::vector<std::string> texts;
  for (int row = 0; row < Rows(listId); ++row) texts.push_back(Cell(listId, row, column));
  return texts;
}

void EditorTest::ClickRow(int listId, int row, std::initializer_list<WORD> modifiers) {
  HWND list = Item(listId);
  SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
  RECT label{};
  label.left = LVIR_LABEL;
  SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&label));
  POINT middle{label.left + 8, (label.top + label.bottom) / 2};
  ClickControl(listId, middle, Button::Left, modifiers);
}

void EditorTest::Rename(int listId, int row, const std::string& text, WORD key) {
  Click(listId, row);
  Press({VK_F2});
  HWND edit = reinterpret_cast<HWND>(SendMessageA(Item(listId), LVM_GETEDITCONTROL, 0, 0));
  ASSERT_NE(edit, nullptr) << "F2 started no edit";
  // The edit starts with the whole name selected: typing replaces it.
  SendText(text);
  Settle();
  Press({key});
  ASSERT_FALSE(IsWindow(edit)) << "the label edit did not end";
}

void EditorTest::Press(std::initializer_list<WORD> keys) {
  SetForegroundWindow(window_);
  SendKeys(keys);
  Settle();
}

void EditorTest::ClickControl(int id, POINT at, Button button, std::initializer_list<WORD> modifiers, int clicks) {
  SetForegroundWindow(window_);
  ClientToScreen(id ? Item(id) : window_, &at);
  SendClick(at, button, modifiers, clicks);
  Settle();
}

std::vector<uint32_t> EditorTest::Capture(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = GetDC(control);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  std::vector<uint32_t> copy(pixels, pixels + static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(control, screen);
  return copy;
}

bool EditorTest::LoadModel(ModelRole role, const std::string& path) {
  EditorChanges changes = Main().editor.LoadModel(role, path, false, true);
  ShowChanges(Main(), changes);
  return (changes.character || changes.weapon) && !changes.message;
}

void EditorTest::UnloadModel(ModelRole role) { ShowChanges(Main(), Main().editor.UnloadModel(role)); }

void EditorTest::Settle(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    Sleep(5);
    Pump();
  } while (GetTickCount() - start < milliseconds);
}

void EditorTest::Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!window_ || !IsDialogMessageW(window_, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
}

}  // namespace zam::test
