#include "app/model_files.h"

#include "img/archive_entry_path.h"
#include "img/img_entry_bytes.h"
#include "model/dictionary_path.h"
#include "platform/file_system.h"
#include "platform/folders.h"

namespace zam {

bool ReadModelFiles(const std::string& path, ModelFiles& files) {
  files = ModelFiles{};
  // A path that names no file may name an archive's entry.
  if (KindOfPath(path) != PathKind::File) {
    if (std::optional<ArchiveEntryRef> ref = ArchiveEntryOfPath(path)) {
      ImgModelExtractResult read = ReadImgModel(ref->archive, ref->entry, files.dff, files.txd);
      if (!ImgEntryExtracted(read.model)) return false;
      files.hasDictionary = ImgEntryExtracted(read.dictionary);
      return true;
    }
  }
  if (ReadWholeFile(path, files.dff) != FileStatus::Ok) return false;
  std::string dictionary = DictionaryPathFor(path);
  files.hasDictionary = !dictionary.empty() && ReadWholeFile(dictionary, files.txd) == FileStatus::Ok;
  return true;
}

}  // namespace zam
