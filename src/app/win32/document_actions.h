#pragma once
// The document's life: the title, discarding the main package, reading a
// file into it.

#include <string>

#include "app/win32/editor_state.h"

namespace zam {

// Stores the modified flag and shows it in the window title; the IFP
// menu's Undo and Redo follow the history.
void SetTitle(EditorState& editor, bool modified);
// The package now is what its file holds: not modified, and undoing back to
// here later clears the mark again.
void MarkSaved(EditorState& editor);

// The question before unsaved changes are lost: true to go on (nothing to
// lose, or the user agreed).
bool MayLoseChanges(EditorState& editor);

// Throws the main package away with its history, first asking when it has
// unsaved changes. Returns false when the user declined; then nothing has
// changed.
bool DiscardMainPackage(EditorState& editor);

enum class PackageReadOutcome { Read, CannotOpen, UnknownFormat };

// Reads the file at `path` into the empty `package`, showing the program's
// message when the file cannot be opened or is in neither layout. A file
// that ends early is read as far as it goes and sets `cut`.
PackageReadOutcome ReadPackageFile(EditorState& editor, const std::string& path, AnimPackage& package, bool& cut);
// The message about a file that ended early, with the animations it held.
void ShowEndedEarly(EditorState& editor, const AnimPackage& package);

// Reads the file at `path` into the (discarded) main package, makes the
// current animation none, forgets the history and refreshes the views. Shows the program's
// message when the file cannot be opened, is in neither layout, or ends early.
PackageReadOutcome ReadPackageIntoMain(EditorState& editor, const std::string& path);

// Opens `path` as the document: read into the main package and, when that
// succeeded, the document becomes the file, not modified.
bool OpenDocumentFile(EditorState& editor, const std::string& path);

}  // namespace zam
