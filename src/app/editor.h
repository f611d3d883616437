#pragma once
// The editor's model, free of any window: the document being edited (its
// package, where it came from, its history), what the user has selected, the
// play head and the camera, the preview's options and its models. Every
// command is a method that changes the model and returns what changed, so a
// window refreshes just that and never reads the model's state back from its
// controls. Failures come back as message codes for the window to show.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "anim/anim_package.h"
#include "anim/edit_history.h"
#include "anim/package_check.h"
#include "anim/package_edits.h"
#include "app/document.h"
#include "app/package_files.h"
#include "app/playback.h"
#include "app/settings.h"
#include "base/messages.h"
#include "math/euler.h"
#include "model/model_data.h"
#include "preview/camera.h"

namespace zam {

enum class ModelRole { Character, Weapon };
enum class MergeMode { Append, Replace };
enum class FrameStep { First, Back, Forward, Last };
enum class PreviewOption { Axis, Mesh, Bone, Culling };
enum class KeyStep { Previous, Next, TrackAbove, TrackBelow };

// A key of the current animation: its track and its place in the track.
struct KeyRef {
  int track = -1;
  int key = -1;
  bool operator==(const KeyRef& other) const { return track == other.track && key == other.key; }
};

// The current key as the key value panel shows it.
struct KeyValues {
  Vec3 translation;  // the key's; for a track without translations the model bone's offset
  bool hasTranslation;  // the track stores translations, so they can be changed
  HeadingPitchRoll rotation;
};

// One row a command inserted, removed or changed, at the index it had when
// that happened; applied in order, they bring a list from before to after.
struct RowChange {
  enum class Kind { Inserted, Removed, Changed };
  Kind kind;
  int row;
  bool operator==(const RowChange& other) const { return kind == other.kind && row == other.row; }
};

// What a command changed, for a window to refresh just that.
struct EditorChanges {
  bool title = false;          // the document's name, its unsaved mark, what Undo and Redo can do
  bool packageHeader = false;  // the package name and layout
  bool allAnimations = false;  // every animation row; `animationRows` is then empty
  std::vector<RowChange> animationRows;
  bool allTracks = false;  // every track row of the current animation (none without one), and the key grid
  std::vector<RowChange> trackRows;
  bool selection = false;  // the lists are to select the editor's rows
  bool timeRange = false;  // the length in frames of the current animation (or that there is none)
  bool playHead = false;   // the current frame
  bool playing = false;    // playback started or stopped
  bool preview = false;    // a new frame is due
  bool options = false;    // a preview option or Show DFF Files
  bool keys = false;        // keys were added, moved or removed: the key grid's boxes
  bool currentKey = false;  // another current key, or other values of it
  bool character = false;  // the character model was loaded or dropped
  bool weapon = false;
  std::optional<Message> message;  // to be shown to the user
  int messageNumber = 0;           // the number a message shows (FileEndedEarly, FileDamaged, ScaleLeftOut)
  // Lines shown under the message, in the code page of the package's names
  // (the tracks a save left the scale out of).
  std::string messageDetail;
  std::string messageReason;  // why, in the system's words (UTF-8): a line under the message
};

// A speed factor as typed: a number above 0 with at most 4 significant
// digits; nothing for anything else.
std::optional<double> ParseSpeedFactor(const std::string& text);

class Editor {
 public:
  // Options and remembered paths are read from and written to `store`,
  // which must outlive the editor.
  explicit Editor(SettingsStore& store) : store_(store) {}
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  // Start-up: the options, the browser's initial directory (the game's
  // folder under `programFilesFolder` when the settings name none) and the
  // models last shown.
  void ReadSettings(const std::string& programFilesFolder);

  const AnimPackage& package() const { return package_; }
  const DocumentState& document() const { return document_; }
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  int currentAnimation() const { return current_; }
  const Animation* CurrentAnimation() const { return AnimationAt(package_, current_); }
  // Ascending rows of the animation list and of the track list.
  const std::vector<int>& selectedAnimations() const { return selectedAnimations_; }
  const std::vector<int>& selectedTracks() const { return selectedTracks_; }
  const PlayHead& playHead() const { return playHead_; }
  bool playing() const { return playing_; }
  // The current animation's length and the play head in whole frames.
  int32_t FrameCount() const;
  int32_t CurrentFrame() const { return PlayHeadFrame(playHead_); }
  const PreviewCamera& camera() const { return camera_; }
  const Settings& settings() const { return settings_; }
  const std::string& initialDirectory() const { return initialDirectory_; }
  const ModelPaths& rememberedModels() const { return rememberedModels_; }
  const SkinnedModelData& character() const { return character_; }
  const WeaponModelData& weapon() const { return weapon_; }

  // The current key (none: track -1), and what it holds.
  const KeyRef& currentKey() const { return currentKey_; }
  std::optional<KeyValues> CurrentKeyValues() const;

  // The preview of a package being opened with options runs on the main
  // window's play head and camera.
  float& sharedPreviewTime() { return playHead_.currentTime; }
  PreviewCamera& sharedCamera() { return camera_; }

  // The user selected or unselected a row (-1: every row). Selecting an
  // animation while none is current makes it current; unselecting the
  // current one leaves none current, its tracks still listed.
  EditorChanges SetAnimationSelected(int row, bool selected);
  EditorChanges SetTrackSelected(int row, bool selected);
  // Makes `animation` the one selected and current animation and `track`
  // (-1: none) its one selected track, as a finding of the check points there.
  EditorChanges ShowTrack(int animation, int track);
  // The game's rules the package breaks, its archive entry's name included
  // when it was opened from one.
  std::vector<CheckFinding> CheckFindings() const;

  // The Animation and Bone menus, on the selected rows.
  EditorChanges CopyAnimations();
  EditorChanges RenameAnimation(int row, const std::string& typed);
  EditorChanges DeleteAnimations();
  EditorChanges RenameTrack(int row, const std::string& typed);
  EditorChanges DeleteTracks();
  EditorChanges SetTrackKeyType(uint32_t keyType);
  // The rows of the Remove Trans Key dialog, and its OK with the ticked bone ids.
  std::vector<BoneIdTally> TranslationTally() const { return TallyBoneIds(package_, selectedAnimations_); }
  EditorChanges RemoveTranslationKeys(const std::vector<int32_t>& boneIds);
  // Typed into the package name box; consecutive characters are one step.
  EditorChanges SetPackageName(const std::string& typed);
  // The layout the next save writes; by itself no unsaved change.
  EditorChanges SetLayout(uint32_t format);
  EditorChanges Undo();
  EditorChanges Redo();

  // Keys of the current animation. Selecting a key (key -1: none) selects its
  // track's row and moves the play head to it; stepping goes to the previous
  // or next key of the track, or to the key nearest the play head on the
  // track above or below.
  EditorChanges SelectKey(int track, int key);
  EditorChanges StepKey(KeyStep step);
  // The current key's translation along one axis (0 x, 1 y, 2 z), for a
  // track that stores translations; its rotation from three angles.
  EditorChanges SetKeyTranslation(int axis, float value);
  EditorChanges SetKeyRotation(const HeadingPitchRoll& angles);
  // A key at the play head's frame on each selected track, holding what the
  // track gives there, so the animation looks the same; tracks with a key on
  // that frame, or none at all, are left alone.
  EditorChanges InsertKeys();
  // Deletes the current key, unless it is its track's last.
  EditorChanges DeleteCurrentKey();
  // Every key time of the selected animations divided by `factor` (2 plays
  // twice as fast), each on the nearest 1/60 s tick. A factor that is not
  // above 0 changes nothing.
  EditorChanges ChangeSpeed(double factor);

  // The document. Opening, discarding and taking a package as the document
  // do not ask: the window asks first whether unsaved changes may go.
  bool HasUnsavedChanges() const { return document_.modified; }
  EditorChanges Discard();
  // Discards the document, then reads the file (or the archive's entry) as
  // the new one; a file that cannot be read leaves a new, empty document.
  EditorChanges OpenFile(const std::string& path);
  EditorChanges OpenArchiveEntry(const std::string& archive, const std::string& entry);
  // Save needs a place: a file or an archive entry. A package only partly
  // read has none: written over where it came from, it would lose what could
  // not be read (a damaged count reads as no animations at all), so it goes
  // there only by Save As, whose dialog asks before replacing a file. Save
  // As makes `path` the place. The package stays unsaved when it could not
  // be written. A save writing ANP3 names the tracks whose scale it left out.
  bool HasPlaceToSave() const { return !document_.documentName.empty() && !document_.partlyRead; }
  EditorChanges Save();
  EditorChanges SaveAs(const std::string& path);
  // An entry of an archive was renamed: a document that is that entry takes
  // the new name, so that Save goes on writing into it.
  EditorChanges FollowEntryRename(const std::string& archive, const std::string& oldName, const std::string& newName);

  // A package being opened with options: its checked animations join the
  // document (moved out of `incoming`, which keeps what they replaced), or
  // it becomes the document, at `place`.
  EditorChanges Merge(AnimPackage& incoming, MergeMode mode, const std::vector<bool>& checked);
  EditorChanges TakeAsDocument(AnimPackage&& incoming, const DocumentState& place);

  // Playback of the current animation, and the frame buttons and time bar.
  EditorChanges TogglePlayback();
  EditorChanges StopPlayback();
  EditorChanges PlaybackTick(uint32_t nowMilliseconds);
  EditorChanges StepFrame(FrameStep step);
  EditorChanges SeekFrame(int frame);

  EditorChanges RotateCamera(int16_t dx, int16_t dy);
  EditorChanges ZoomCamera(int16_t dy);
  EditorChanges ResetCamera();

  // Options are written to the settings as they change.
  EditorChanges ToggleOption(PreviewOption option);
  EditorChanges SetSpecView(bool specView);
  // The colour chosen, or the one in use again when the choice was cancelled.
  EditorChanges SetBackgroundColor(uint32_t color);
  EditorChanges ToggleShowDff();
  void SetInitialDirectory(const std::string& path);

  // The selected animations (every animation when none is selected) on the
  // character, holding the weapon, as a binary glTF file at `path`, replaced
  // in one step; ExportGlb (gltf/gltf_export.h) makes the file. Needs a
  // character whose load completed (CanExportGltf).
  bool CanExportGltf() const;
  EditorChanges ExportGltf(const std::string& path) const;

  // The model at `path`: a DFF file with the dictionary beside it, or an
  // archive's entry named by the archive's path, "\" and the entry's name.
  // `remember` writes the path to the settings first (Model or Weapon);
  // `silent` shows no message when the file cannot be read.
  EditorChanges LoadModel(ModelRole role, const std::string& path, bool remember, bool silent);
  // A model from a file chosen by the user: "File cannot open." when it
  // cannot be opened, otherwise remembered and loaded.
  EditorChanges LoadChosenModel(ModelRole role, const std::string& path);
  // Drops the model and forgets it in the settings.
  EditorChanges UnloadModel(ModelRole role);

 private:
  class Step;

  EditSelection Selection() const;
  void ShowWholePackage(EditorChanges& changes);
  void ShowTracksOfCurrent(EditorChanges& changes);
  void Stop(EditorChanges& changes);
  void FinishRead(const PackageReadResult& read, const DocumentState& place, EditorChanges& changes);
  BoneTrack* CurrentKeyTrack();
  EditorChanges ChangeCurrentKey(const std::function<void(KeyFrame&)>& change);
  EditorChanges ShowStepped(const SteppedState& stepped);
  EditorChanges AfterWrite(const PackageWriteResult& written);

  SettingsStore& store_;
  Settings settings_;
  std::string initialDirectory_;
  ModelPaths rememberedModels_;

  AnimPackage package_{};
  DocumentState document_;
  EditHistory history_;
  int current_ = -1;
  std::vector<int> selectedAnimations_;
  std::vector<int> selectedTracks_;
  KeyRef currentKey_;

  PlayHead playHead_;
  bool playing_ = false;
  PreviewCamera camera_;
  SkinnedModelData character_;
  WeaponModelData weapon_;
};

}  // namespace zam
