#pragma once
// Input as a user gives it: mouse clicks and keys sent through the system
// (SendInput), so they reach the program by the same path as a real mouse
// and keyboard, hit tests and focus rules included. The caller pumps the
// messages they cause.

#include <windows.h>

#include <initializer_list>
#include <string>

namespace zam::test {

enum class Button { Left, Right };

// Moves the pointer to `screen` and clicks there `clicks` times, holding
// `modifiers` (virtual keys such as VK_CONTROL) meanwhile.
void SendClick(POINT screen, Button button = Button::Left, std::initializer_list<WORD> modifiers = {},
               int clicks = 1);
// Moves the pointer to `screen` with `buttons` (MK_LBUTTON, MK_RBUTTON) held:
// pressed at the start of a drag, released at its end.
void SendPointer(POINT screen);
void SendButton(Button button, bool down);

// Presses `keys` together (the first held longest) and lets them go.
void SendKeys(std::initializer_list<WORD> keys);
// Types text (UTF-8), character by character.
void SendText(const std::string& text);

}  // namespace zam::test
