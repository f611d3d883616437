#pragma once
// The Animation and Bone menus (also the lists' context menus): they act on
// the rows selected in the animation list and the bone list.

#include <cstdint>

#include "app/win32/editor_state.h"

namespace zam {

void CopyAnimationsCommand(EditorState& editor);
void RenameAnimationCommand(EditorState& editor);
void DeleteAnimationsCommand(EditorState& editor);
void RemoveTransKeyCommand(EditorState& editor);
void RenameBoneCommand(EditorState& editor);
void DeleteBonesCommand(EditorState& editor);
void SetKeyTypeCommand(EditorState& editor, uint32_t keyType);

}  // namespace zam
