#include "app/document.h"

#include "base/messages.h"

namespace zam {

void SetDocumentFromPath(DocumentState& document, const std::string& path) {
  size_t slash = path.find_last_of('\\');
  document.documentDirectory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  document.documentName = slash == std::string::npos ? path : path.substr(slash + 1);
  document.documentArchive.clear();
  document.modified = false;
  document.partlyRead = false;
}

void SetDocumentFromArchiveEntry(DocumentState& document, const std::string& archivePath,
                                 const std::string& entryName) {
  document.documentDirectory.clear();
  document.documentArchive = archivePath;
  document.documentName = entryName;
  document.modified = false;
  document.partlyRead = false;
}

void ClearDocument(DocumentState& document) { document = DocumentState{}; }

std::string DocumentFilePath(const DocumentState& document) {
  if (document.documentName.empty() || !document.documentArchive.empty()) return {};
  return document.documentDirectory + document.documentName;
}

std::string DocumentTitle(const DocumentState& document) {
  std::string title = document.documentName.empty() ? "new" : document.documentName;
  if (document.modified) title += "*";
  // The title buffer holds 1024 bytes with its terminator.
  title += std::string(" - ") + msg::kCaption;
  if (title.size() > 1023) title.resize(1023);
  return title;
}

std::string SettingsPathForExecutable(const std::string& executablePath) {
  size_t slash = executablePath.find_last_of('\\');
  std::string folder = slash == std::string::npos ? executablePath : executablePath.substr(0, slash);
  return folder + "\\ZelcorAnimManager.ini";
}

std::string WithExtension(const std::string& path, const std::string& extension) {
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos) return path + "." + extension;
  return path.substr(0, dot + 1) + extension;
}

}  // namespace zam
