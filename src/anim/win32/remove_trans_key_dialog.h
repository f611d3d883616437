#pragma once
// The "Remove Trans Key" dialog: the bone ids of the selected animations,
// with their rotation-only and translating track counts; the ticked bones'
// tracks become rotation-only.

#include <windows.h>

#include <vector>

#include "anim/anim_package.h"

namespace zam {

// Runs dialog 109 modally over `owner` for animations `selected` of
// `package`, which OK changes. 1 after OK, 0 after Cancel or close.
INT_PTR RunRemoveTransKeyDialog(HWND owner, AnimPackage& package, const std::vector<int>& selected);

}  // namespace zam
