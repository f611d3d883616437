#pragma once
// The Preview menu: models, what is drawn, the background, the camera and
// the device. Settings are written the moment a command changes them.

#include "app/win32/editor_state.h"

namespace zam {

void LoadModelCommand(EditorState& editor);   // Load Model... (the character)
void ArmWeaponCommand(EditorState& editor);   // Arm Weapon...
void UnloadModelCommand(EditorState& editor);
void DisarmWeaponCommand(EditorState& editor);
// Show Axis, Show Mesh, Show Bone, Disable culling (their command ids).
void TogglePreviewOptionCommand(EditorState& editor, int commandId);
void SelectBackgroundCommand(EditorState& editor);
void SetSpecViewCommand(EditorState& editor, bool specView);  // Center View / Spec Root View
void ResetCameraCommand(EditorState& editor);
void ReinitDeviceCommand(EditorState& editor);

}  // namespace zam
