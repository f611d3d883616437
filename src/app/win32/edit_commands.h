#pragma once
// The Animation and Bone menus (also the lists' context menus): they act on
// the rows selected in the animation list and the bone list.

#include <cstdint>

namespace zam {

void CopyAnimationsCommand();
void RenameAnimationCommand();
void DeleteAnimationsCommand();
void RemoveTransKeyCommand();
void RenameBoneCommand();
void DeleteBonesCommand();
void SetKeyTypeCommand(uint32_t keyType);

}  // namespace zam
