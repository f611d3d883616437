#pragma once
// What the user is told of a change to an archive's entries (import, delete,
// rename, rebuild) from the editor's browser.

#include <cstdint>
#include <optional>
#include <string>

#include "base/messages.h"
#include "img/img_edit.h"
#include "img/img_rebuild.h"

namespace zam {

// Nothing for a change that was made, or that has nothing to tell (an
// entry no longer there: the browser's listing was out of date).
std::optional<Message> ArchiveEditMessage(ImgEditResult result);
// Nothing for a rebuild that was made or cancelled.
std::optional<Message> RebuildMessage(ImgRebuildResult result);
// The line below RebuildNoSpace: "Needed: 12 MB, free: 3 MB."
std::string RebuildSpaceLine(const ImgRebuildOutcome& outcome);

}  // namespace zam
