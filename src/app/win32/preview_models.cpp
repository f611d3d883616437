#include "app/win32/preview_models.h"

#include "app/win32/preview_view.h"
#include "app/win32/ui_prompts.h"
#include "base/messages.h"
#include "model/dictionary_path.h"
#include "model/skinned_model_loader.h"
#include "model/weapon_model_loader.h"
#include "platform/file_system.h"

namespace zam {

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
  PreviewModelsChanged(editor);
  if (!result.ok) ShowMessage(editor.window, result.message.c_str(), MB_OK | MB_ICONHAND);
  return result.ok;
}

void UnloadModel(EditorState& editor, ModelRole role) {
  if (role == ModelRole::Character) {
    editor.character = SkinnedModelData{};
  } else {
    editor.weapon = WeaponModelData{};
  }
  PreviewModelsChanged(editor);
}

}  // namespace zam
