#pragma once
// The animation list, the bone list and the key grid of the main window:
// their columns, their refresh from the main package, and their
// notifications (current animation, in-place rename, context menus).

#include <windows.h>
#include <commctrl.h>

namespace zam {

// Columns, full-row selection and the replacement window procedures; once at start-up.
void SetupPackageViews();

// Rebuilds everything that shows the package as a whole, and stops playback.
void RefreshPackageView();
// Rebuilds the bone list and the key grid for the current animation and
// resets the time controls.
void RefreshBoneView();

void OnAnimationListNotify(const NMHDR* header);
void OnBoneListNotify(const NMHDR* header);

}  // namespace zam
