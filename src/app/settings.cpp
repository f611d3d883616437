#include "app/settings.h"

#include <cstdio>

namespace zam {

Settings ReadSettings(SettingsStore& store) {
  Settings settings;
  settings.showDff = store.ReadInt(ini::kDirectory, ini::kShowDff, 1) != 0;
  PreviewOptions& preview = settings.preview;
  preview.showAxis = store.ReadInt(ini::kPreview, ini::kShowAxis, 1) != 0;
  preview.showMesh = store.ReadInt(ini::kPreview, ini::kShowMesh, 1) != 0;
  preview.showBone = store.ReadInt(ini::kPreview, ini::kShowBone, 1) != 0;
  preview.cullingDisabled = store.ReadInt(ini::kPreview, ini::kCulling, 0) != 0;
  uint32_t color = 0;
  if (ParseBackgroundColor(store.ReadText(ini::kPreview, ini::kBgColor, "00000000", 64), color)) {
    preview.backgroundColor = color;
  }
  preview.specView = store.ReadInt(ini::kPreview, ini::kSpecView, 0) != 0;
  return settings;
}

std::string ReadInitialDirectory(SettingsStore& store, const std::string& programFilesFolder) {
  std::string fallback = programFilesFolder + "\\Brightfold Games\\Zelcor Halvern\\";
  return store.ReadText(ini::kDirectory, ini::kInitDir, fallback.c_str(), 260);
}

ModelPaths ReadModelPaths(SettingsStore& store) {
  return {store.ReadText(ini::kPreview, ini::kModel, "", 260), store.ReadText(ini::kPreview, ini::kWeapon, "", 260)};
}

void WriteFlag(SettingsStore& store, const char* section, const char* key, bool value) {
  store.WriteText(section, key, value ? "1" : "0");
}

bool ParseBackgroundColor(const std::string& text, uint32_t& color) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) i += 2;
  uint64_t value = 0;
  size_t digits = 0;
  for (; i < text.size(); ++i, ++digits) {
    char c = text[i];
    int digit = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : -1;
    if (digit < 0) break;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return false;
  }
  if (digits == 0) return false;
  color = static_cast<uint32_t>(value);
  return true;
}

std::string FormatBackgroundColor(uint32_t color) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", color);
  return text;
}

}  // namespace zam
