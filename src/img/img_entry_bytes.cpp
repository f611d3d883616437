#include "img/img_entry_bytes.h"

#include "platform/file_system.h"
#include "platform/temp_file.h"

namespace zam {
namespace {

// The entry extracted into `temp` as bytes, read back by its path as every
// file the program loads whole; `bytes` is emptied when it was not extracted.
ImgExtractResult ReadBack(ImgExtractResult extracted, TempFile& temp, std::vector<uint8_t>& bytes) {
  temp.file().Close();
  bytes.clear();
  if (!ImgEntryExtracted(extracted)) return extracted;
  if (ReadWholeFile(temp.path(), bytes) != FileStatus::Ok) {
    bytes.clear();
    return ImgExtractResult::WriteFailed;
  }
  return extracted;
}

}  // namespace

ImgExtractResult ReadImgEntry(const std::string& archivePath, const std::string& entryName,
                              std::vector<uint8_t>& bytes) {
  TempFile temp = TempFile::Create("ifp");
  ImgExtractResult extracted =
      temp.IsOpen() ? ExtractImgEntry(archivePath, entryName, temp.file()) : ImgExtractResult::WriteFailed;
  return ReadBack(extracted, temp, bytes);
}

ImgModelExtractResult ReadImgModel(const std::string& archivePath, const std::string& modelName,
                                   std::vector<uint8_t>& dff, std::vector<uint8_t>& txd) {
  TempFile model = TempFile::Create("dff");
  TempFile dictionary = TempFile::Create("txd");
  ImgModelExtractResult extracted{ImgExtractResult::WriteFailed, ImgExtractResult::WriteFailed};
  if (model.IsOpen() && dictionary.IsOpen()) {
    extracted = ExtractImgModel(archivePath, modelName, model.file(), dictionary.file());
  }
  return {ReadBack(extracted.model, model, dff), ReadBack(extracted.dictionary, dictionary, txd)};
}

}  // namespace zam
