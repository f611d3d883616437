#pragma once
// The "Change Speed" dialog (resource 113): asks for the factor the selected
// animations' speed is multiplied by. It only asks; the change is the editor's.

#include <windows.h>

#include <optional>

namespace zam {

// Runs the dialog modally over `owner`: the factor typed and confirmed with
// OK (a factor that is not one is refused with a message, and the dialog
// stays), nothing after Cancel.
std::optional<double> RunChangeSpeedDialog(HWND owner);

}  // namespace zam
