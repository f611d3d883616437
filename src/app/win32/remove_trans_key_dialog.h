#pragma once
// The "Remove Trans Key" dialog (resource 109): the bone ids of the selected
// animations with their key type counts, ticked by default except the root
// and negative ids. It only asks; the change is the editor's.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "anim/package_edits.h"

namespace zam {

// Runs the dialog modally over `owner` with one row per tally; the bone ids
// ticked when OK was pressed, nothing after Cancel or closing.
std::optional<std::vector<int32_t>> RunRemoveTransKeyDialog(HWND owner, const std::vector<BoneIdTally>& rows);

}  // namespace zam
