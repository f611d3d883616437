#pragma once
// The "Opening Option" dialog (resource 107): the animations of a package
// being opened, with check boxes and a preview of the focused one, and the
// choice to open the package as the document, to append the checked
// animations to the document, or to let them replace the document's
// animations of the same names. It only asks; the change is the editor's.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "anim/anim_package.h"
#include "preview/camera.h"

namespace zam {

struct OpeningChoice {
  enum class Action { Skip, SkipAll, Open, Append, Replace };
  Action action = Action::Skip;
  std::vector<bool> checked;  // one mark per incoming animation
};

// What the dialog shows and previews, all owned by its caller.
struct OpeningOptionContext {
  std::string shownName;          // the file's or the archive entry's name
  const AnimPackage& document;    // names the document has are not checked at first
  const AnimPackage& incoming;    // the package being opened
  float& previewTime;             // the preview's play head, shared with the main window
  PreviewCamera& camera;          // shared with the main window
  // The preview device draws frames of `area`'s size from now on.
  std::function<void(HWND area)> resetPreview;
  // A frame of animation `animation` of `incoming` (-1: none) at the play head, into `area`.
  std::function<void(HWND area, int animation)> drawPreview;
};

// Runs the dialog modally over `owner`: Skip (also the close box), Skip
// All, or OK with the chosen action and the check marks.
OpeningChoice RunOpeningOptionDialog(HWND owner, OpeningOptionContext& context);

}  // namespace zam
