#pragma once
// The key value panel: the current key's translation (X, Y, Z) and rotation
// as heading, pitch and roll (H, P, R), and the radio buttons that choose
// which of them can be typed: None, Trans (for tracks that store
// translations) or Rotate. A value typed and confirmed with Enter, or by
// leaving its box, becomes the key's.

#include <windows.h>

#include "app/win32/main_window.h"

namespace zam {

// The values of the editor's current key ("0.000" without one), editable as
// the chosen mode allows.
void ShowKeyValues(MainWindow& main);

// A radio button of the panel was clicked.
void OnKeyEditMode(MainWindow& main, int buttonId);

// Whether `id` is one of the six value boxes.
bool IsKeyValueBox(int id);

// The text of value box `id` becomes the key's value: the editor's changes,
// for the caller to show. Text that is no number is replaced by the value
// shown before, with a beep, and changes nothing.
EditorChanges CommitKeyValue(MainWindow& main, int id);

}  // namespace zam
