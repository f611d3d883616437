#pragma once
// The "Opening Option" dialog: the animations of a package being opened,
// with check boxes and a preview of the focused one, and the choice to open
// the package as the document, to append the checked animations to the
// document, or to let them replace the document's animations of the same
// names. The dialog makes the change itself and keeps the main window's
// animation list in step.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "anim/anim_package.h"
#include "anim/package_merge.h"
#include "preview/camera.h"

namespace zam {

// The dialog's end codes.
inline constexpr INT_PTR kOpeningSkipped = 0;  // Skip, closed, Append or Replace done, or Open declined
inline constexpr INT_PTR kOpeningSkipAll = 1;  // the files still to be offered are skipped too
inline constexpr INT_PTR kOpeningOpened = 2;   // the incoming package became the document

// What the dialog works on, all owned by its caller.
struct OpeningOptionContext {
  std::string path;       // of the package file; its name is shown unless `shownName` is given
  std::string shownName;  // what the file is called where it came from (an archive's entry)
  AnimPackage& document;  // the main package
  AnimPackage& incoming;  // read from `path`; what the document takes is moved out of it
  HWND animationList;     // the main window's rows of `document`
  float& previewTime;     // the preview's play head, shared with the main window
  PreviewCamera& camera;  // shared with the main window
  // Open: throws the document away, first asking when it has unsaved
  // changes; false when the user declined.
  std::function<bool()> discardDocument;
  // Append or Replace took these animations into the document (never empty).
  std::function<void(const std::vector<MergedAnimation>&)> documentChanged;
  // The preview device draws frames of `area`'s size from now on.
  std::function<void(HWND area)> resetPreview;
  // A frame of animation `animation` of `incoming` (-1: none) at the play head, into `area`.
  std::function<void(HWND area, int animation)> drawPreview;
};

// Runs dialog 107 modally over `owner`; returns one of the end codes above.
INT_PTR RunOpeningOptionDialog(HWND owner, OpeningOptionContext& context);

}  // namespace zam
