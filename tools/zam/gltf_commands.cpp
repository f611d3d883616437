// zam gltf: a character, its weapon and a package's animations as one
// binary glTF file, the same file the editor's "Export to glTF..." writes.

#include <cstdio>
#include <string>
#include <vector>

#include "anim/anim_package.h"
#include "base/messages.h"
#include "commands.h"
#include "gltf/gltf_export.h"
#include "model/dictionary_path.h"
#include "model/model_data.h"
#include "model/skinned_model_loader.h"
#include "model/weapon_model_loader.h"
#include "platform/file_system.h"

namespace zam::cli {
namespace {

constexpr char kSynopsis[] = "zam gltf DFF [TXD] IFP OUT.glb [--animation NAME...] [--weapon WEAPON.dff [WEAPON.txd]]";

struct GltfArgs {
  std::vector<std::string> files;       // DFF [TXD] IFP OUT
  std::vector<std::string> animations;  // empty: all of them
  std::vector<std::string> weapon;      // WEAPON.dff [WEAPON.txd]
  bool weaponGiven = false;
};

// Positional files first; then each option takes the arguments up to the next option.
bool ParseArgs(const Args& args, GltfArgs& parsed) {
  std::vector<std::string>* into = &parsed.files;
  bool animationGiven = false;
  for (const std::string& arg : args) {
    if (arg == "--animation") {
      into = &parsed.animations;
      animationGiven = true;
    } else if (arg == "--weapon" && !parsed.weaponGiven) {
      into = &parsed.weapon;
      parsed.weaponGiven = true;
    } else if (arg.rfind("--", 0) == 0) {
      return false;
    } else {
      into->push_back(arg);
    }
  }
  return (parsed.files.size() == 3 || parsed.files.size() == 4) && (!animationGiven || !parsed.animations.empty()) &&
         (!parsed.weaponGiven || parsed.weapon.size() == 1 || parsed.weapon.size() == 2);
}

// A model file and its dictionary: the one named, or the one beside the
// model when it can be read (the model is untextured otherwise), as the
// editor loads them.
bool ReadModel(const std::string& dff, const std::string* txd, std::vector<uint8_t>& model,
               std::vector<uint8_t>& dictionary, bool& hasDictionary) {
  FileResult read = ReadWholeFile(dff, model);
  if (!read.ok()) {
    FailFile(dff, read.reason);
    return false;
  }
  const std::string path = txd ? *txd : DictionaryPathFor(dff);
  FileResult dictionaryRead = path.empty() ? FileResult{FileStatus::CannotOpen, {}} : ReadWholeFile(path, dictionary);
  hasDictionary = dictionaryRead.ok();
  if (txd && !hasDictionary) {
    FailFile(*txd, dictionaryRead.reason);
    return false;
  }
  return true;
}

}  // namespace

int RunGltf(const Args& args) {
  GltfArgs parsed;
  if (!ParseArgs(args, parsed)) return Usage(kSynopsis);
  const bool withDictionary = parsed.files.size() == 4;
  const std::string& dffPath = parsed.files[0];
  const std::string& ifpPath = parsed.files[withDictionary ? 2 : 1];
  const std::string& outPath = parsed.files.back();

  std::vector<uint8_t> dff, txd;
  bool hasDictionary = false;
  if (!ReadModel(dffPath, withDictionary ? &parsed.files[1] : nullptr, dff, txd, hasDictionary)) return kExitFailure;
  SkinnedModelData character;
  const ModelLoadResult loaded =
      LoadSkinnedModel(dff.data(), dff.size(), hasDictionary ? txd.data() : nullptr, txd.size(), character);
  if (!loaded.ok) return Fail(PrintablePath(dffPath) + ": " + MessageText(loaded.message));

  WeaponModelData weapon;
  if (parsed.weaponGiven) {
    std::vector<uint8_t> weaponDff, weaponTxd;
    const std::string* weaponDictionary = parsed.weapon.size() == 2 ? &parsed.weapon[1] : nullptr;
    if (!ReadModel(parsed.weapon[0], weaponDictionary, weaponDff, weaponTxd, hasDictionary)) return kExitFailure;
    const ModelLoadResult weaponLoaded = LoadWeaponModel(
        weaponDff.data(), weaponDff.size(), hasDictionary ? weaponTxd.data() : nullptr, weaponTxd.size(), weapon);
    if (!weaponLoaded.ok) return Fail(PrintablePath(parsed.weapon[0]) + ": " + MessageText(weaponLoaded.message));
  }

  AnimPackage package{};
  if (!LoadPackage(ifpPath, package)) return kExitFailure;
  GltfExportInput input{package, {}, character, parsed.weaponGiven ? &weapon : nullptr};
  // Named animations go in package order, every animation of a name.
  for (const std::string& name : parsed.animations) {
    bool found = false;
    for (const Animation& animation : package.animations) found = found || NameText(animation.name) == StoredName(name);
    if (!found)
      return Fail(PrintablePath(ifpPath) + ": no animation named \"" + PrintableName(StoredName(name)) + "\"");
  }
  for (int a = 0; a < package.animationCount(); ++a) {
    const std::string name = NameText(package.animations[static_cast<size_t>(a)].name);
    bool wanted = parsed.animations.empty();
    for (const std::string& asked : parsed.animations) wanted = wanted || StoredName(asked) == name;
    if (wanted) input.animations.push_back(a);
  }

  const std::vector<uint8_t> glb = ExportGlb(input);
  if (glb.empty()) return Fail(PrintablePath(dffPath) + ": " + msg::kNoCharacterToExport);
  FileResult written = ReplaceFileAtomically(outPath, glb);
  if (written.status == FileStatus::WriteFailed) {
    return Fail(PrintablePath(outPath) + ": the file could not be written (" + written.reason +
                "); nothing was changed");
  }
  return written.ok() ? kExitOk : FailFile(outPath, written.reason);
}

}  // namespace zam::cli
