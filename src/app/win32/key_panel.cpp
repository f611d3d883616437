#include "app/win32/key_panel.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "resource.h"

namespace zam {
namespace {

constexpr int kTranslationBoxes[] = {IDC_VALUE_X, IDC_VALUE_Y, IDC_VALUE_Z};
constexpr int kRotationBoxes[] = {IDC_VALUE_H, IDC_VALUE_P, IDC_VALUE_R};

std::string Shown(double value) {
  // Never "-0.000": what rounds to nothing shows as nothing.
  if (std::fabs(value) < 0.0005) value = 0.0;
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", value);
  return text;
}

// The texts the six boxes show for the current key, X to R.
void ShownValues(const Editor& editor, std::string (&texts)[6], bool& hasTranslation, bool& hasKey) {
  std::optional<KeyValues> values = editor.CurrentKeyValues();
  hasKey = values.has_value();
  hasTranslation = values && values->hasTranslation;
  const double numbers[6] = {values ? values->translation.x : 0.0, values ? values->translation.y : 0.0,
                             values ? values->translation.z : 0.0, values ? values->rotation.heading : 0.0,
                             values ? values->rotation.pitch : 0.0, values ? values->rotation.roll : 0.0};
  for (int i = 0; i < 6; ++i) texts[i] = Shown(numbers[i]);
}

int BoxIndex(int id) {
  for (int i = 0; i < 3; ++i) {
    if (kTranslationBoxes[i] == id) return i;
    if (kRotationBoxes[i] == id) return i + 3;
  }
  return -1;
}

// The whole text as a finite number.
bool ParseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  return end != text && end && *end == '\0' && std::isfinite(value);
}

}  // namespace

void ShowKeyValues(MainWindow& main) {
  std::string texts[6];
  bool hasTranslation = false, hasKey = false;
  ShownValues(main.editor, texts, hasTranslation, hasKey);
  for (int i = 0; i < 6; ++i) {
    const int id = i < 3 ? kTranslationBoxes[i] : kRotationBoxes[i - 3];
    SetDlgItemTextA(main.window, id, texts[i].c_str());
    const bool editable = hasKey && (i < 3 ? main.keyEditMode == IDC_KEY_TRANS && hasTranslation
                                           : main.keyEditMode == IDC_KEY_ROTATE);
    SendDlgItemMessageW(main.window, id, EM_SETREADONLY, editable ? FALSE : TRUE, 0);
    // A model offset stands in for translations the track does not store.
    if (i < 3) EnableWindow(main.Control(id), !hasKey || hasTranslation);
  }
}

void OnKeyEditMode(MainWindow& main, int buttonId) {
  main.keyEditMode = buttonId;
  CheckRadioButton(main.window, IDC_KEY_NONE, IDC_KEY_TRANS, buttonId);
  ShowKeyValues(main);
}

bool IsKeyValueBox(int id) { return BoxIndex(id) >= 0; }

EditorChanges CommitKeyValue(MainWindow& main, int id) {
  const int index = BoxIndex(id);
  std::string texts[6];
  bool hasTranslation = false, hasKey = false;
  ShownValues(main.editor, texts, hasTranslation, hasKey);
  char typed[64] = {};
  GetDlgItemTextA(main.window, id, typed, sizeof typed);
  if (index < 0 || !hasKey || typed == texts[index]) return {};
  double value = 0.0;
  if (!ParseNumber(typed, value)) {
    SetDlgItemTextA(main.window, id, texts[index].c_str());
    MessageBeep(MB_ICONEXCLAMATION);
    return {};
  }
  if (index < 3) return main.editor.SetKeyTranslation(index, static_cast<float>(value));
  HeadingPitchRoll angles = main.editor.CurrentKeyValues()->rotation;
  double* angle[3] = {&angles.heading, &angles.pitch, &angles.roll};
  *angle[index - 3] = value;
  return main.editor.SetKeyRotation(angles);
}

}  // namespace zam
