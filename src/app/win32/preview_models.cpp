#include "app/win32/preview_models.h"

#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "img/archive_entry_path.h"
#include "img/img_archive.h"
#include "model/dictionary_path.h"
#include "model/skinned_model_loader.h"
#include "model/weapon_model_loader.h"
#include "platform/file_system.h"
#include "platform/folders.h"
#include "platform/temp_file.h"

namespace zam {
namespace {

// The device takes the new model of `role`; the other model keeps its buffers.
void UploadModel(EditorState& editor, ModelRole role) {
  IDirect3DDevice9* device = editor.previewDevice.device();
  if (role == ModelRole::Character) {
    editor.renderer.SetCharacter(device, &editor.character);
  } else {
    editor.renderer.SetWeapon(device, &editor.weapon);
  }
}

bool LoadArchiveModel(EditorState& editor, ModelRole role, const ArchiveEntryRef& ref, bool silent) {
  TempFile model = TempFile::Create("dff");
  TempFile dictionary = TempFile::Create("txd");
  ImgModelExtractResult extracted{ImgExtractResult::WriteFailed, ImgExtractResult::WriteFailed};
  if (model.IsOpen() && dictionary.IsOpen()) {
    extracted = ExtractImgModel(ref.archive, ref.entry, model.file(), dictionary.file());
  }
  // Read back by path, as every model file is; the files are deleted on return.
  model.file().Close();
  dictionary.file().Close();
  std::vector<uint8_t> dff, txd;
  bool hasModel = ImgEntryExtracted(extracted.model) && ReadWholeFile(model.path(), dff) == FileStatus::Ok;
  if (!hasModel) {
    if (!silent) ShowMessage(editor.window, msg::kFileCannotOpen, MB_OK | MB_ICONHAND);
    return false;
  }
  bool hasDictionary =
      ImgEntryExtracted(extracted.dictionary) && ReadWholeFile(dictionary.path(), txd) == FileStatus::Ok;
  return LoadModelBytes(editor, role, dff, hasDictionary ? &txd : nullptr);
}

}  // namespace

bool LoadModelPath(EditorState& editor, ModelRole role, const std::string& path, bool silent) {
  if (KindOfPath(path) != PathKind::File) {
    if (std::optional<ArchiveEntryRef> ref = ArchiveEntryOfPath(path)) return LoadArchiveModel(editor, role, *ref, silent);
  }
  return LoadModelFile(editor, role, path, silent);
}

bool LoadModelFile(EditorState& editor, ModelRole role, const std::string& dffPath, bool silent) {
  std::vector<uint8_t> dff;
  if (ReadWholeFile(dffPath, dff) != FileStatus::Ok) {
    if (!silent) ShowMessage(editor.window, msg::kFileCannotOpen, MB_OK | MB_ICONHAND);
    return false;
  }
  std::vector<uint8_t> txd;
  std::string txdPath = DictionaryPathFor(dffPath);
  bool hasDictionary = !txdPath.empty() && ReadWholeFile(txdPath, txd) == FileStatus::Ok;
  return LoadModelBytes(editor, role, dff, hasDictionary ? &txd : nullptr);
}

bool LoadModelBytes(EditorState& editor, ModelRole role, const std::vector<uint8_t>& dff,
                    const std::vector<uint8_t>* txd) {
  const uint8_t* txdBytes = txd ? txd->data() : nullptr;
  size_t txdSize = txd ? txd->size() : 0;
  ModelLoadResult result = role == ModelRole::Character
                               ? LoadSkinnedModel(dff.data(), dff.size(), txdBytes, txdSize, editor.character)
                               : LoadWeaponModel(dff.data(), dff.size(), txdBytes, txdSize, editor.weapon);
  UploadModel(editor, role);
  if (!result.ok) ShowMessage(editor.window, result.message.c_str(), MB_OK | MB_ICONHAND);
  return result.ok;
}

void UnloadModel(EditorState& editor, ModelRole role) {
  if (role == ModelRole::Character) {
    editor.character = SkinnedModelData{};
  } else {
    editor.weapon = WeaponModelData{};
  }
  UploadModel(editor, role);
}

}  // namespace zam
