#include "real_input.h"

#include <vector>

#include "platform/win32/wide_text.h"

namespace zam::test {
namespace {

void Send(const std::vector<INPUT>& inputs) {
  SendInput(static_cast<UINT>(inputs.size()), const_cast<INPUT*>(inputs.data()), sizeof(INPUT));
}

INPUT Key(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT Mouse(DWORD flags, POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((screen.x * 65536 + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = static_cast<LONG>((screen.y * 65536 + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  return input;
}

DWORD ButtonFlag(Button button, bool down) {
  if (button == Button::Left) return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
}

}  // namespace

void SendClick(POINT screen, Button button, std::initializer_list<WORD> modifiers, int clicks) {
  std::vector<INPUT> inputs{Mouse(MOUSEEVENTF_MOVE, screen)};
  for (WORD modifier : modifiers) inputs.push_back(Key(modifier, false));
  for (int i = 0; i < clicks; ++i) {
    inputs.push_back(Mouse(ButtonFlag(button, true), screen));
    inputs.push_back(Mouse(ButtonFlag(button, false), screen));
  }
  for (WORD modifier : modifiers) inputs.push_back(Key(modifier, true));
  Send(inputs);
}

void SendPointer(POINT screen) { Send({Mouse(MOUSEEVENTF_MOVE, screen)}); }

void SendButton(Button button, bool down) {
  POINT at;
  GetCursorPos(&at);
  Send({Mouse(ButtonFlag(button, down), at)});
}

void SendKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) inputs.push_back(Key(key, false));
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) inputs.push_back(Key(*key, true));
  Send(inputs);
}

void SendText(const std::string& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : WideFromUtf8(text)) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = static_cast<WORD>(c);
    input.ki.dwFlags = KEYEVENTF_UNICODE;
    inputs.push_back(input);
    input.ki.dwFlags |= KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  Send(inputs);
}

}  // namespace zam::test
