#pragma once
// The document's life: the title, discarding the main package, reading a
// file into it.

#include <string>

namespace zam {

// Stores the modified flag and shows it in the window title.
void SetTitle(bool modified);
inline void MarkModified() { SetTitle(true); }

// Throws the main package away, first asking when it has unsaved changes.
// Returns false when the user declined; then nothing has changed.
bool DiscardMainPackage();

enum class PackageReadOutcome { Read, CannotOpen, UnknownFormat };

// Reads the file at `path` into the (discarded) main package, makes the
// current animation none and refreshes the views. Shows the program's
// message when the file cannot be opened or is in neither layout.
PackageReadOutcome ReadPackageIntoMain(const std::string& path);

// Opens `path` as the document: read into the main package and, when that
// succeeded, the document becomes the file, not modified.
bool OpenDocumentFile(const std::string& path);

}  // namespace zam
