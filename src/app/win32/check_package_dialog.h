#pragma once
// The "Check Package" dialog: the game's rules the package breaks, one row
// per finding. A double-click on a row shows its animation and track in the
// main window, which stays as the dialog left it when it closes.

#include <windows.h>

#include <functional>
#include <vector>

#include "anim/package_check.h"

namespace zam {

// Runs the dialog modally over `owner`; `show` is called with the animation
// and track (-1: none) of a row double-clicked.
void RunCheckPackageDialog(HWND owner, const AnimPackage& package, const std::vector<CheckFinding>& findings,
                           const std::function<void(int animation, int track)>& show);

}  // namespace zam
