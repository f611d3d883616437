#pragma once
// New files beside a file, named as the temporaries of a replacement
// (".zam-" and six letters or digits) and noted while they exist, so that a
// process killed before it renames or removes one leaves nothing the next
// start does not remove.

#include <string>

#include "platform/file.h"
#include "platform/temporary_notes.h"

namespace zam {

// The folder part of `path` with its separator ("/" or "\"), empty for a
// bare name: names joined to it land beside the file.
std::string FolderPart(const std::string& path);

// Creates a new empty file in the folder of `path`, open for reading and
// writing, named in `note` before it is made; `temporaryPath` receives its
// path from the root. The file is not open when none could be made.
File CreateSiblingTemporary(const std::string& path, TemporaryNote& note, std::string& temporaryPath);

}  // namespace zam
