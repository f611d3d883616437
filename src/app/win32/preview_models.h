#pragma once
// The character and the weapon of the preview: loaded from DFF files (with
// the dictionary beside them) or from bytes already read, and dropped again.

#include <cstdint>
#include <string>
#include <vector>

#include "app/win32/editor_state.h"

namespace zam {

enum class ModelRole { Character, Weapon };

// The DFF at `dffPath` and the dictionary beside it (its name with "txd"
// after the last "."; none when it cannot be read) become the role's model.
// "File cannot open." when the DFF cannot be read (unless `silent`, as at
// start-up); the loader's own message when it fails. True when it loaded.
bool LoadModelFile(EditorState& editor, ModelRole role, const std::string& dffPath, bool silent = false);

// The model at `path`: a DFF file (as LoadModelFile), or an entry of an IMG
// archive written as the archive's path, "\" and the entry's name, loaded
// with the archive's entry of its dictionary's name. Entries pass through
// temporary files that are gone when this returns. "File cannot open." when
// the file, the archive or the entry cannot be read (unless `silent`).
bool LoadModelPath(EditorState& editor, ModelRole role, const std::string& path, bool silent);

// The same from bytes in memory; `txd` is nullptr without a dictionary.
bool LoadModelBytes(EditorState& editor, ModelRole role, const std::vector<uint8_t>& dff,
                    const std::vector<uint8_t>* txd);

// Drops the role's model (CPU records and device resources).
void UnloadModel(EditorState& editor, ModelRole role);

}  // namespace zam
