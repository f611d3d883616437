#pragma once
// Where the document being edited came from, whether it has unsaved
// changes, and the window title that shows both.

#include <string>

namespace zam {

inline constexpr size_t kMaxPathBytes = 260;

struct DocumentState {
  std::string documentDirectory;  // with its trailing "\", empty for archive entries and new documents
  std::string documentArchive;    // the IMG archive the package came from, or empty
  std::string documentName;       // file or entry name; empty: the document has no place to be saved to
  bool modified = false;
  // Only part of the package could be read (the file ended early or is
  // damaged): it is not written over that place unasked. Setting a place
  // clears it.
  bool partlyRead = false;
};

// The document becomes the file at `path`, split at its last "\".
void SetDocumentFromPath(DocumentState& document, const std::string& path);
// The document becomes entry `entryName` of the archive at `archivePath`.
void SetDocumentFromArchiveEntry(DocumentState& document, const std::string& archivePath,
                                 const std::string& entryName);
// A new, unsaved, unmodified document.
void ClearDocument(DocumentState& document);

// The full path of a document that is a plain file; empty otherwise.
std::string DocumentFilePath(const DocumentState& document);

// "name - Zelcor Animation Manager", with "*" after the name when modified
// and "new" for a document without a name.
std::string DocumentTitle(const DocumentState& document);

// The settings file beside the executable: the executable's path cut at its
// last "\" plus "\ZelcorAnimManager.ini".
std::string SettingsPathForExecutable(const std::string& executablePath);

// `path` with the characters after its last "." replaced by `extension`; a
// path without "." gets "." and the extension appended.
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace zam
