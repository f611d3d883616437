#pragma once
// The program's options in the settings file beside the executable: read
// once at start-up, and each key written the moment its command runs.

#include <cstdint>
#include <string>

#include "preview/preview_options.h"

namespace zam {

namespace ini {
inline constexpr const char kDirectory[] = "Directory";
inline constexpr const char kPreview[] = "Preview";
inline constexpr const char kShowDff[] = "ShowDFF";
inline constexpr const char kInitDir[] = "InitDir";
inline constexpr const char kShowAxis[] = "ShowAxis";
inline constexpr const char kShowMesh[] = "ShowMesh";
inline constexpr const char kShowBone[] = "ShowBone";
inline constexpr const char kCulling[] = "Culling";
inline constexpr const char kBgColor[] = "BGColor";
inline constexpr const char kSpecView[] = "SpecView";
inline constexpr const char kModel[] = "Model";
inline constexpr const char kWeapon[] = "Weapon";
}  // namespace ini

// One key at a time from an INI file; the Win32 layer provides the
// system's private-profile functions, tests an in-memory map.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // A missing key gives `fallback`; a value not starting with digits gives 0.
  virtual int ReadInt(const char* section, const char* key, int fallback) = 0;
  virtual std::string ReadText(const char* section, const char* key, const char* fallback, size_t maxBytes) = 0;
  virtual void WriteText(const char* section, const char* key, const std::string& value) = 0;
};

struct Settings {
  bool showDff = true;  // the browser lists DFF files
  PreviewOptions preview;
};

// Reads ShowDFF, ShowAxis, ShowMesh, ShowBone, Culling, BGColor and SpecView
// in that order, with their defaults.
Settings ReadSettings(SettingsStore& store);

// Where the browser starts: InitDir, or the game's folder under the
// program-files folder (which ends without "\").
std::string ReadInitialDirectory(SettingsStore& store, const std::string& programFilesFolder);

// The character and weapon models last shown (Model, Weapon); empty for none.
struct ModelPaths {
  std::string model;
  std::string weapon;
};
ModelPaths ReadModelPaths(SettingsStore& store);

// Writes a flag as "1" or "0".
void WriteFlag(SettingsStore& store, const char* section, const char* key, bool value);

// Hexadecimal text (either case, an optional "0x", anything after the
// digits ignored) to a colour; false when there are no digits or the value
// does not fit 32 bits.
bool ParseBackgroundColor(const std::string& text, uint32_t& color);
// Lower-case hexadecimal without leading zeros.
std::string FormatBackgroundColor(uint32_t color);

}  // namespace zam
