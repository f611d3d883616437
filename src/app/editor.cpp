#include "app/editor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "anim/ifp_writer.h"
#include "anim/package_merge.h"
#include "app/model_files.h"
#include "app/package_files.h"
#include "gltf/gltf_export.h"
#include "model/skinned_model_loader.h"
#include "model/weapon_model_loader.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "preview/pose.h"
#include "views/current_animation.h"

namespace zam {
namespace {

// Adds `row` to an ascending list of rows, or takes it out.
void SetRow(std::vector<int>& rows, int row, bool in) {
  auto at = std::lower_bound(rows.begin(), rows.end(), row);
  bool present = at != rows.end() && *at == row;
  if (in && !present) rows.insert(at, row);
  if (!in && present) rows.erase(at);
}

std::vector<int> AllRows(int count) {
  std::vector<int> rows(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) rows[static_cast<size_t>(i)] = i;
  return rows;
}

// The rows that name something in a list of `count`, ascending and once each.
std::vector<int> ValidRows(std::vector<int> rows, int count) {
  rows.erase(std::remove_if(rows.begin(), rows.end(), [count](int row) { return row < 0 || row >= count; }),
             rows.end());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

const char* SettingsKey(ModelRole role) { return role == ModelRole::Character ? ini::kModel : ini::kWeapon; }

// The offset the model gives the bone a track binds to; the origin when it
// binds to none.
Vec3 ModelOffset(const SkinnedModelData& model, const BoneTrack& track) {
  const int bones = PosableBoneCount(model);
  for (int bone = 0; bone < bones; ++bone) {
    if (TrackDrivesBone(track, model, bone)) return model.bonePosition[static_cast<size_t>(bone)];
  }
  return {0.0f, 0.0f, 0.0f};
}

// The track of `key` in animation `animation` of `package`, when the key is there.
template <typename Package>
auto TrackOfKey(Package& package, int animation, const KeyRef& key) -> decltype(&package.animations[0].bones[0]) {
  auto* owner = AnimationAt(package, animation);
  if (!owner || key.track < 0 || key.track >= owner->boneCount()) return nullptr;
  auto& track = owner->bones[static_cast<size_t>(key.track)];
  return key.key >= 0 && key.key < track.keyCount() ? &track : nullptr;
}

// The key of `track` on the 1/60 s frame `frame`, or -1.
int KeyOnFrame(const BoneTrack& track, int32_t frame) {
  for (int k = 0; k < track.keyCount(); ++k) {
    if (SecondsToFrames(track.keys[static_cast<size_t>(k)].time) == frame) return k;
  }
  return -1;
}

// The key of `track` nearest to `time`, or -1 for a track without keys.
int KeyNearest(const BoneTrack& track, float time) {
  int nearest = -1;
  for (int k = 0; k < track.keyCount(); ++k) {
    const float distance = std::fabs(track.keys[static_cast<size_t>(k)].time - time);
    if (nearest < 0 || distance < std::fabs(track.keys[static_cast<size_t>(nearest)].time - time)) nearest = k;
  }
  return nearest;
}

// At most this many tracks are named in a message; the others are counted.
constexpr size_t kListedTracks = 10;

// "animation: track", one a line, then how many more were not named.
std::string TrackList(const AnimPackage& package, const std::vector<TrackPlace>& places) {
  std::string list;
  for (size_t i = 0; i < places.size() && i < kListedTracks; ++i) {
    const Animation& animation = package.animations[static_cast<size_t>(places[i].animation)];
    list += (i ? "\n" : "") + NameText(animation.name) + ": " +
            NameText(animation.bones[static_cast<size_t>(places[i].track)].name);
  }
  if (places.size() > kListedTracks) {
    char more[64];
    std::snprintf(more, sizeof more, msg::kMoreTracks, static_cast<int>(places.size() - kListedTracks));
    list += std::string("\n") + more;
  }
  return list;
}

}  // namespace

std::optional<double> ParseSpeedFactor(const std::string& text) {
  char* end = nullptr;
  const double factor = std::strtod(text.c_str(), &end);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (end == text.c_str() || !end || *end != '\0' || !(factor > 0.0) || !std::isfinite(factor)) return std::nullopt;
  // Four significant digits: the number written with four of them is itself.
  char shortest[32];
  std::snprintf(shortest, sizeof shortest, "%.4g", factor);
  if (std::strtod(shortest, nullptr) != factor) return std::nullopt;
  return factor;
}

// The changes one command makes to the package, recorded as one step of the
// history with the selection before and after it. Nothing is recorded when
// nothing changed.
class Editor::Step {
 public:
  explicit Step(Editor& editor, StepKind kind = StepKind::Edit)
      : editor_(editor), kind_(kind), before_(editor.Selection()) {}
  Step(const Step&) = delete;
  Step& operator=(const Step&) = delete;

  EditHistory& history() { return editor_.history_; }
  // The command counts as a change although it recorded none.
  void MarkChanged() { changed_ = true; }

  void End(EditorChanges& changes) {
    if (!changed_ && !editor_.history_.HasPendingChanges()) return;
    editor_.history_.EndStep(kind_, std::move(before_), editor_.Selection());
    editor_.document_.modified = editor_.history_.HasUnsavedChanges();
    changes.title = true;
  }

 private:
  Editor& editor_;
  StepKind kind_;
  EditSelection before_;
  bool changed_ = false;
};

void Editor::ReadSettings(const std::string& programFilesFolder) {
  settings_ = zam::ReadSettings(store_);
  initialDirectory_ = ReadInitialDirectory(store_, programFilesFolder);
  rememberedModels_ = ReadModelPaths(store_);
}

int32_t Editor::FrameCount() const {
  const Animation* animation = CurrentAnimation();
  return animation ? AnimationLengthFrames(*animation) : 0;
}

EditSelection Editor::Selection() const { return {current_, selectedAnimations_, selectedTracks_}; }

// The track rows and the key grid show the current animation from its
// start; without one they show nothing.
void Editor::ShowTracksOfCurrent(EditorChanges& changes) {
  selectedTracks_.clear();
  currentKey_ = {};
  changes.currentKey = true;
  changes.allTracks = true;
  changes.trackRows.clear();
  changes.preview = true;
  if (!CurrentAnimation()) return;
  RewindPlayHead(playHead_);
  changes.timeRange = true;
  changes.playHead = true;
}

void Editor::Stop(EditorChanges& changes) {
  StopPlayHead(playHead_);
  if (playing_) changes.playing = true;
  playing_ = false;
}

// Everything that shows the package as a whole is shown again; playback stops.
void Editor::ShowWholePackage(EditorChanges& changes) {
  Stop(changes);
  changes.packageHeader = true;
  changes.allAnimations = true;
  changes.animationRows.clear();
  changes.timeRange = true;
  changes.playHead = true;
  changes.title = true;
}

EditorChanges Editor::SetAnimationSelected(int row, bool selected) {
  EditorChanges changes;
  const int count = package_.animationCount();
  if (row == -1) {
    selectedAnimations_ = selected ? AllRows(count) : std::vector<int>{};
  } else if (row >= 0 && row < count) {
    SetRow(selectedAnimations_, row, selected);
  } else {
    return changes;
  }
  int next = CurrentAfterSelectionChange(current_, row, selected, count);
  if (next == current_) return changes;
  current_ = next;
  // Losing the current animation refreshes nothing: its tracks stay listed.
  if (current_ != -1) ShowTracksOfCurrent(changes);
  return changes;
}

EditorChanges Editor::SetTrackSelected(int row, bool selected) {
  const Animation* animation = CurrentAnimation();
  const int count = animation ? animation->boneCount() : 0;
  if (row == -1) {
    selectedTracks_ = selected ? AllRows(count) : std::vector<int>{};
  } else if (row >= 0 && row < count) {
    SetRow(selectedTracks_, row, selected);
  }
  return {};
}

EditorChanges Editor::ShowTrack(int animation, int track) {
  EditorChanges changes;
  const Animation* shown = AnimationAt(package_, animation);
  if (!shown) return changes;
  selectedAnimations_ = {animation};
  changes.selection = true;
  if (current_ != animation) {
    current_ = animation;
    ShowTracksOfCurrent(changes);
  }
  selectedTracks_.clear();
  if (track >= 0 && track < shown->boneCount()) selectedTracks_.push_back(track);
  return changes;
}

std::vector<CheckFinding> Editor::CheckFindings() const {
  return CheckPackage(package_, document_.documentArchive.empty() ? std::string() : document_.documentName);
}

EditorChanges Editor::CopyAnimations() {
  EditorChanges changes;
  Step step(*this);
  // Copies are appended unselected, so each row selected now is copied once.
  for (int row : selectedAnimations_) {
    int copy = AppendAnimationCopy(package_, row);
    if (copy < 0) continue;
    step.history().AnimationInserted(package_, copy);
    changes.animationRows.push_back({RowChange::Kind::Inserted, copy});
  }
  step.End(changes);
  return changes;
}

EditorChanges Editor::RenameAnimation(int row, const std::string& typed) {
  EditorChanges changes;
  Animation* animation = AnimationAt(package_, row);
  if (!animation) return changes;
  Animation before = *animation;
  Step step(*this);
  if (Rename(animation->name, typed)) step.history().AnimationChanged(package_, row, std::move(before));
  step.End(changes);
  // The row shows the name as stored, also when it stayed the same.
  changes.animationRows.push_back({RowChange::Kind::Changed, row});
  return changes;
}

EditorChanges Editor::DeleteAnimations() {
  EditorChanges changes;
  if (selectedAnimations_.empty()) return changes;
  Step step(*this);
  bool currentDeleted = false;
  // From the last row up, so each row is removed at the index it has now.
  for (auto row = selectedAnimations_.rbegin(); row != selectedAnimations_.rend(); ++row) {
    if (!step.history().RemoveAnimation(package_, *row)) continue;
    changes.animationRows.push_back({RowChange::Kind::Removed, *row});
    currentDeleted |= current_ == *row;
    current_ = CurrentAfterRemoval(current_, *row);
  }
  selectedAnimations_.clear();
  step.End(changes);
  if (currentDeleted) {
    ShowTracksOfCurrent(changes);
    changes.timeRange = changes.playHead = true;
  }
  return changes;
}

EditorChanges Editor::RenameTrack(int row, const std::string& typed) {
  EditorChanges changes;
  // With no current animation the listed tracks may belong to an animation
  // no longer shown: no track is renamed then.
  Animation* animation = AnimationAt(package_, current_);
  if (!animation || row < 0 || row >= animation->boneCount()) return changes;
  BoneTrack& track = animation->bones[static_cast<size_t>(row)];
  BoneTrack before = track;
  Step step(*this);
  if (Rename(track.name, typed)) step.history().TrackChanged(package_, current_, row, std::move(before));
  step.End(changes);
  changes.trackRows.push_back({RowChange::Kind::Changed, row});
  return changes;
}

EditorChanges Editor::DeleteTracks() {
  EditorChanges changes;
  if (!CurrentAnimation() || selectedTracks_.empty()) return changes;
  Step step(*this);
  for (auto row = selectedTracks_.rbegin(); row != selectedTracks_.rend(); ++row) {
    if (step.history().RemoveTrack(package_, current_, *row)) {
      changes.trackRows.push_back({RowChange::Kind::Removed, *row});
    }
  }
  selectedTracks_.clear();
  currentKey_ = {};
  changes.currentKey = true;
  step.End(changes);
  // The animation may have become shorter: its row, the time controls and
  // the play head follow.
  changes.animationRows.push_back({RowChange::Kind::Changed, current_});
  const float length = AnimationLength(*CurrentAnimation());
  if (playHead_.currentTime > length) playHead_.currentTime = length;
  changes.timeRange = changes.playHead = changes.preview = true;
  return changes;
}

EditorChanges Editor::SetTrackKeyType(uint32_t keyType) {
  EditorChanges changes;
  Animation* animation = AnimationAt(package_, current_);
  if (!animation) return changes;
  Step step(*this);
  for (int row : selectedTracks_) {
    if (row >= animation->boneCount()) continue;
    // Setting the layout a track already has is an edit all the same.
    BoneTrack& track = animation->bones[static_cast<size_t>(row)];
    BoneTrack before = track;
    track.keyType = keyType;
    step.history().TrackChanged(package_, current_, row, std::move(before));
    changes.trackRows.push_back({RowChange::Kind::Changed, row});
  }
  step.End(changes);
  changes.preview = !changes.trackRows.empty();
  // Whether its translation can be changed may have changed with it.
  changes.currentKey = currentKey_.track >= 0;
  return changes;
}

EditorChanges Editor::RemoveTranslationKeys(const std::vector<int32_t>& boneIds) {
  EditorChanges changes;
  // The change is made in place: copies of the animations undo it.
  std::vector<std::pair<int, Animation>> before;
  for (int row : selectedAnimations_) {
    if (const Animation* animation = AnimationAt(package_, row)) before.emplace_back(row, *animation);
  }
  zam::RemoveTranslationKeys(package_, selectedAnimations_, boneIds);
  Step step(*this);
  step.MarkChanged();  // confirming the dialog is a change, even with no bone ticked
  for (auto& [row, animation] : before) step.history().AnimationChanged(package_, row, std::move(animation));
  step.End(changes);
  // The track rows show the new key types.
  ShowTracksOfCurrent(changes);
  return changes;
}

EditorChanges Editor::SetPackageName(const std::string& typed) {
  EditorChanges changes;
  PackageHeader before = HeaderOf(package_);
  if (!Rename(package_.name, typed)) return changes;
  Step step(*this, StepKind::Typing);
  step.history().HeaderChanged(before);
  step.End(changes);
  return changes;
}

EditorChanges Editor::SetLayout(uint32_t format) {
  EditorChanges changes;
  if (format == package_.format) return changes;
  Step step(*this, StepKind::Layout);
  step.history().HeaderChanged(HeaderOf(package_));
  package_.format = format;
  step.End(changes);
  return changes;
}

// The package is as a step left or found it: the rows the step touched
// follow in place, with the selection and the current animation it recorded.
EditorChanges Editor::ShowStepped(const SteppedState& stepped) {
  EditorChanges changes;
  Stop(changes);
  changes.title = changes.timeRange = changes.playHead = true;
  for (const SteppedChange& change : stepped.changes) {
    if (change.animation < 0) {
      changes.packageHeader = true;
      continue;
    }
    // A track's change may change the length its animation's row shows.
    RowChange row{change.track >= 0                                ? RowChange::Kind::Changed
                  : change.kind == SteppedChange::Kind::Inserted ? RowChange::Kind::Inserted
                  : change.kind == SteppedChange::Kind::Removed  ? RowChange::Kind::Removed
                                                                 : RowChange::Kind::Changed,
                  change.animation};
    if (row.kind == RowChange::Kind::Changed && !changes.animationRows.empty() && changes.animationRows.back() == row) {
      continue;
    }
    changes.animationRows.push_back(row);
  }
  const EditSelection& selection = stepped.selection;
  current_ = AnimationAt(package_, selection.currentAnimation) ? selection.currentAnimation : -1;
  std::vector<int> animations = selection.animations;
  if (current_ >= 0) animations.push_back(current_);
  selectedAnimations_ = ValidRows(std::move(animations), package_.animationCount());
  ShowTracksOfCurrent(changes);
  const Animation* animation = CurrentAnimation();
  selectedTracks_ = ValidRows(selection.tracks, animation ? animation->boneCount() : 0);
  changes.selection = true;
  document_.modified = history_.HasUnsavedChanges();
  return changes;
}

EditorChanges Editor::Undo() {
  std::optional<SteppedState> shown = history_.Undo(package_);
  return shown ? ShowStepped(*shown) : EditorChanges{};
}

EditorChanges Editor::Redo() {
  std::optional<SteppedState> shown = history_.Redo(package_);
  return shown ? ShowStepped(*shown) : EditorChanges{};
}

BoneTrack* Editor::CurrentKeyTrack() { return TrackOfKey(package_, current_, currentKey_); }

std::optional<KeyValues> Editor::CurrentKeyValues() const {
  const BoneTrack* track = TrackOfKey(package_, current_, currentKey_);
  if (!track) return std::nullopt;
  const KeyFrame& key = track->keys[static_cast<size_t>(currentKey_.key)];
  KeyValues values;
  values.hasTranslation = KeyTypeHas(track->keyType, 2, 'T');
  values.translation = values.hasTranslation ? Vec3{key.translation[0], key.translation[1], key.translation[2]}
                                             : ModelOffset(character_, *track);
  values.rotation = HeadingPitchRollOf({key.rotation[0], key.rotation[1], key.rotation[2], key.rotation[3]});
  return values;
}

EditorChanges Editor::SelectKey(int track, int key) {
  EditorChanges changes;
  const BoneTrack* selected = TrackOfKey(package_, current_, KeyRef{track, key});
  changes.currentKey = true;
  if (!selected) {
    currentKey_ = {};
    return changes;
  }
  currentKey_ = {track, key};
  selectedTracks_ = {track};
  changes.selection = true;
  Stop(changes);
  playHead_.currentTime = selected->keys[static_cast<size_t>(key)].time;
  changes.playHead = changes.preview = true;
  return changes;
}

EditorChanges Editor::StepKey(KeyStep step) {
  const Animation* animation = CurrentAnimation();
  if (!animation || currentKey_.track < 0) return {};
  KeyRef next = currentKey_;
  switch (step) {
    case KeyStep::Previous:
      --next.key;
      break;
    case KeyStep::Next:
      ++next.key;
      break;
    case KeyStep::TrackAbove:
    case KeyStep::TrackBelow:
      next.track += step == KeyStep::TrackAbove ? -1 : 1;
      if (next.track < 0 || next.track >= animation->boneCount()) return {};
      next.key = KeyNearest(animation->bones[static_cast<size_t>(next.track)], playHead_.currentTime);
      break;
  }
  const BoneTrack& track = animation->bones[static_cast<size_t>(next.track)];
  if (next.key < 0 || next.key >= track.keyCount()) return {};
  return SelectKey(next.track, next.key);
}

// One step of the history for the change of the current key's values.
EditorChanges Editor::ChangeCurrentKey(const std::function<void(KeyFrame&)>& change) {
  EditorChanges changes;
  BoneTrack* track = CurrentKeyTrack();
  if (!track) return changes;
  BoneTrack before = *track;
  change(track->keys[static_cast<size_t>(currentKey_.key)]);
  Step step(*this);
  step.history().TrackChanged(package_, current_, currentKey_.track, std::move(before));
  step.End(changes);
  changes.currentKey = changes.preview = true;
  return changes;
}

EditorChanges Editor::SetKeyTranslation(int axis, float value) {
  BoneTrack* track = CurrentKeyTrack();
  if (!track || axis < 0 || axis > 2 || !KeyTypeHas(track->keyType, 2, 'T')) return {};
  return ChangeCurrentKey([axis, value](KeyFrame& key) { key.translation[axis] = value; });
}

EditorChanges Editor::SetKeyRotation(const HeadingPitchRoll& angles) {
  const Quaternion rotation = QuaternionFromHeadingPitchRoll(angles);
  return ChangeCurrentKey([&rotation](KeyFrame& key) {
    key.rotation[0] = rotation.x;
    key.rotation[1] = rotation.y;
    key.rotation[2] = rotation.z;
    key.rotation[3] = rotation.w;
  });
}

EditorChanges Editor::InsertKeys() {
  EditorChanges changes;
  Animation* animation = AnimationAt(package_, current_);
  if (!animation) return changes;
  const int32_t frame = CurrentFrame();
  const float time = static_cast<float>(frame) / kFramesPerSecond;
  Step step(*this);
  for (int row : selectedTracks_) {
    if (row >= animation->boneCount()) continue;
    BoneTrack& track = animation->bones[static_cast<size_t>(row)];
    if (track.keys.empty() || KeyOnFrame(track, frame) >= 0) continue;
    BoneTrack before = track;
    const KeyFrame inserted = InterpolateTrack(track, time);
    auto at = std::find_if(track.keys.begin(), track.keys.end(), [time](const KeyFrame& key) { return key.time > time; });
    const int index = static_cast<int>(at - track.keys.begin());
    track.keys.insert(at, inserted);
    if (currentKey_.track == row && currentKey_.key >= index) ++currentKey_.key;
    step.history().TrackChanged(package_, current_, row, std::move(before));
    changes.keys = true;
  }
  step.End(changes);
  return changes;
}

EditorChanges Editor::DeleteCurrentKey() {
  EditorChanges changes;
  BoneTrack* track = CurrentKeyTrack();
  if (!track || track->keyCount() < 2) return changes;
  BoneTrack before = *track;
  track->keys.erase(track->keys.begin() + currentKey_.key);
  Step step(*this);
  step.history().TrackChanged(package_, current_, currentKey_.track, std::move(before));
  step.End(changes);
  currentKey_ = {};
  // The animation may have become shorter.
  changes.animationRows.push_back({RowChange::Kind::Changed, current_});
  changes.keys = changes.currentKey = changes.timeRange = changes.playHead = changes.preview = true;
  return changes;
}

EditorChanges Editor::ChangeSpeed(double factor) {
  EditorChanges changes;
  if (!(factor > 0.0) || !std::isfinite(factor)) return changes;
  Step step(*this);
  for (int row : selectedAnimations_) {
    Animation* animation = AnimationAt(package_, row);
    if (!animation) continue;
    Animation before = *animation;
    for (BoneTrack& track : animation->bones) {
      for (KeyFrame& key : track.keys) {
        // The float the ANP3 reader makes of that tick, so a save keeps it.
        const double ticks = std::round(static_cast<double>(key.time) * kFramesPerSecond / factor);
        key.time = static_cast<float>(ticks) / kFramesPerSecond;
      }
    }
    step.history().AnimationChanged(package_, row, std::move(before));
    changes.animationRows.push_back({RowChange::Kind::Changed, row});
  }
  step.End(changes);
  if (changes.animationRows.empty()) return changes;
  const float length = CurrentAnimationLength(package_, current_);
  if (playHead_.currentTime > length) playHead_.currentTime = length;
  changes.keys = changes.timeRange = changes.playHead = changes.preview = true;
  // Key boxes moved: the current key is the same key still.
  changes.currentKey = currentKey_.track >= 0;
  return changes;
}

EditorChanges Editor::Discard() {
  EditorChanges changes;
  ReleasePackage(package_);
  history_.Clear();
  ClearDocument(document_);
  current_ = -1;
  selectedAnimations_.clear();
  ShowWholePackage(changes);
  ShowTracksOfCurrent(changes);
  return changes;
}

// After the main package was read (`read`): a package that was read
// becomes the document at `place`; one that was not leaves the new, empty
// document the discard made.
void Editor::FinishRead(const PackageReadResult& read, const DocumentState& place, EditorChanges& changes) {
  changes.message = ReadMessage(read.status);
  changes.messageNumber = package_.animationCount();
  changes.messageReason = read.reason;
  if (!read.HasPackage()) return;
  document_ = place;
  document_.partlyRead = read.status != PackageReadStatus::Read;
}

EditorChanges Editor::OpenFile(const std::string& path) {
  EditorChanges changes = Discard();
  DocumentState place;
  SetDocumentFromPath(place, path);
  FinishRead(ReadPackageFile(path, package_), place, changes);
  return changes;
}

EditorChanges Editor::OpenArchiveEntry(const std::string& archive, const std::string& entry) {
  EditorChanges changes = Discard();
  DocumentState place;
  SetDocumentFromArchiveEntry(place, archive, entry);
  FinishRead(ReadPackageEntry(archive, entry, package_), place, changes);
  return changes;
}

EditorChanges Editor::AfterWrite(const PackageWriteResult& written) {
  EditorChanges changes;
  changes.message = WriteMessage(written.status);
  changes.messageReason = written.reason;
  if (written.status != PackageWriteStatus::Written) return changes;
  history_.MarkSaved();
  document_.modified = false;
  changes.title = true;
  const std::vector<TrackPlace> unscaled = TracksLosingScale(package_);
  if (!unscaled.empty()) {
    changes.message = Message::ScaleLeftOut;
    changes.messageNumber = static_cast<int>(unscaled.size());
    changes.messageDetail = TrackList(package_, unscaled);
  }
  return changes;
}

EditorChanges Editor::Save() {
  if (!HasPlaceToSave()) return {};
  if (!document_.documentArchive.empty()) {
    return AfterWrite(SavePackageEntry(package_, document_.documentArchive, document_.documentName));
  }
  return AfterWrite(SavePackageFile(package_, DocumentFilePath(document_)));
}

EditorChanges Editor::FollowEntryRename(const std::string& archive, const std::string& oldName,
                                        const std::string& newName) {
  EditorChanges changes;
  if (document_.documentArchive != archive || !EqualIgnoringAsciiCase(document_.documentName, oldName)) return changes;
  document_.documentName = newName;
  changes.title = true;
  return changes;
}

EditorChanges Editor::SaveAs(const std::string& path) {
  PackageWriteResult written = SavePackageFileAs(package_, path);
  if (written.status == PackageWriteStatus::Written) SetDocumentFromPath(document_, path);
  return AfterWrite(written);
}

bool Editor::CanExportGltf() const { return CanExportCharacter(character_); }

EditorChanges Editor::ExportGltf(const std::string& path) const {
  EditorChanges changes;
  if (!CanExportGltf()) {
    changes.message = Message::NoCharacterToExport;
    return changes;
  }
  GltfExportInput input{package_, selectedAnimations_, character_, &weapon_};
  if (input.animations.empty()) {
    for (int a = 0; a < package_.animationCount(); ++a) input.animations.push_back(a);
  }
  const FileResult written = ReplaceFileAtomically(path, ExportGlb(input));
  if (!written.ok()) {
    changes.message = Message::FileCannotOpen;
    changes.messageReason = written.reason;
  }
  return changes;
}

EditorChanges Editor::Merge(AnimPackage& incoming, MergeMode mode, const std::vector<bool>& checked) {
  EditorChanges changes;
  std::vector<MergedAnimation> merged = mode == MergeMode::Append ? AppendAnimations(package_, incoming, checked)
                                                                   : ReplaceAnimations(package_, incoming, checked);
  Step step(*this);
  bool currentReplaced = false;
  for (const MergedAnimation& taken : merged) {
    if (taken.replaced) {
      // What the document lost now sits in the incoming package.
      step.history().AnimationChanged(package_, taken.document,
                                      std::move(incoming.animations[static_cast<size_t>(taken.incoming)]));
      changes.animationRows.push_back({RowChange::Kind::Changed, taken.document});
      currentReplaced |= taken.document == current_;
    } else {
      step.history().AnimationInserted(package_, taken.document);
      changes.animationRows.push_back({RowChange::Kind::Inserted, taken.document});
    }
  }
  step.End(changes);
  if (currentReplaced) ShowTracksOfCurrent(changes);
  return changes;
}

EditorChanges Editor::TakeAsDocument(AnimPackage&& incoming, const DocumentState& place) {
  EditorChanges changes = Discard();
  package_ = std::exchange(incoming, AnimPackage{});
  document_ = place;
  document_.modified = false;
  return changes;
}

EditorChanges Editor::TogglePlayback() {
  EditorChanges changes;
  if (playing_) {
    Stop(changes);
  } else {
    // The play head and the last tick stay: the first tick advances by nothing.
    playing_ = true;
    changes.playing = true;
  }
  return changes;
}

EditorChanges Editor::StopPlayback() {
  EditorChanges changes;
  Stop(changes);
  return changes;
}

EditorChanges Editor::PlaybackTick(uint32_t nowMilliseconds) {
  EditorChanges changes;
  if (!playing_) return changes;
  changes.playHead = zam::PlaybackTick(playHead_, nowMilliseconds, package_, current_);
  changes.preview = true;
  return changes;
}

EditorChanges Editor::StepFrame(FrameStep step) {
  EditorChanges changes;
  Stop(changes);
  const float length = CurrentAnimationLength(package_, current_);
  switch (step) {
    case FrameStep::First:
      RewindPlayHead(playHead_);
      break;
    case FrameStep::Back:
      StepPlayHeadBack(playHead_);
      break;
    case FrameStep::Forward:
      StepPlayHeadForward(playHead_, length);
      break;
    case FrameStep::Last:
      JumpPlayHeadToEnd(playHead_, length);
      break;
  }
  changes.playHead = changes.preview = true;
  return changes;
}

EditorChanges Editor::SeekFrame(int frame) {
  EditorChanges changes;
  SeekPlayHeadToFrame(playHead_, frame);
  Stop(changes);
  changes.playHead = changes.preview = true;
  return changes;
}

EditorChanges Editor::RotateCamera(int16_t dx, int16_t dy) {
  EditorChanges changes;
  zam::RotateCamera(camera_, dx, dy);
  changes.preview = dx != 0 || dy != 0;
  return changes;
}

EditorChanges Editor::ZoomCamera(int16_t dy) {
  EditorChanges changes;
  zam::ZoomCamera(camera_, dy);
  changes.preview = dy != 0;
  return changes;
}

EditorChanges Editor::ResetCamera() {
  EditorChanges changes;
  zam::ResetCamera(camera_);
  changes.preview = true;
  return changes;
}

EditorChanges Editor::ToggleOption(PreviewOption option) {
  PreviewOptions& preview = settings_.preview;
  struct {
    bool* value;
    const char* key;
  } toggled{};
  switch (option) {
    case PreviewOption::Axis:
      toggled = {&preview.showAxis, ini::kShowAxis};
      break;
    case PreviewOption::Mesh:
      toggled = {&preview.showMesh, ini::kShowMesh};
      break;
    case PreviewOption::Bone:
      toggled = {&preview.showBone, ini::kShowBone};
      break;
    case PreviewOption::Culling:
      toggled = {&preview.cullingDisabled, ini::kCulling};
      break;
  }
  *toggled.value = !*toggled.value;
  WriteFlag(store_, ini::kPreview, toggled.key, *toggled.value);
  EditorChanges changes;
  changes.options = changes.preview = true;
  return changes;
}

EditorChanges Editor::SetSpecView(bool specView) {
  settings_.preview.specView = specView;
  WriteFlag(store_, ini::kPreview, ini::kSpecView, specView);
  EditorChanges changes;
  changes.options = changes.preview = true;
  return changes;
}

EditorChanges Editor::SetBackgroundColor(uint32_t color) {
  settings_.preview.backgroundColor = color;
  store_.WriteText(ini::kPreview, ini::kBgColor, FormatBackgroundColor(color));
  EditorChanges changes;
  changes.preview = true;
  return changes;
}

EditorChanges Editor::ToggleShowDff() {
  settings_.showDff = !settings_.showDff;
  WriteFlag(store_, ini::kDirectory, ini::kShowDff, settings_.showDff);
  EditorChanges changes;
  changes.options = true;
  return changes;
}

void Editor::SetInitialDirectory(const std::string& path) { store_.WriteText(ini::kDirectory, ini::kInitDir, path); }

EditorChanges Editor::LoadModel(ModelRole role, const std::string& path, bool remember, bool silent) {
  EditorChanges changes;
  if (remember) store_.WriteText(ini::kPreview, SettingsKey(role), path);
  ModelFiles files;
  if (!ReadModelFiles(path, files)) {
    if (!silent) changes.message = Message::FileCannotOpen;
    return changes;
  }
  const uint8_t* txd = files.hasDictionary ? files.txd.data() : nullptr;
  ModelLoadResult result =
      role == ModelRole::Character
          ? LoadSkinnedModel(files.dff.data(), files.dff.size(), txd, files.txd.size(), character_)
          : LoadWeaponModel(files.dff.data(), files.dff.size(), txd, files.txd.size(), weapon_);
  (role == ModelRole::Character ? changes.character : changes.weapon) = true;
  changes.preview = true;
  if (!result.ok) changes.message = result.message;
  return changes;
}

EditorChanges Editor::LoadChosenModel(ModelRole role, const std::string& path) {
  if (!File::OpenRead(path).IsOpen()) {
    EditorChanges changes;
    changes.message = Message::FileCannotOpen;
    return changes;
  }
  return LoadModel(role, path, true, false);
}

EditorChanges Editor::UnloadModel(ModelRole role) {
  EditorChanges changes;
  if (role == ModelRole::Character) {
    character_ = SkinnedModelData{};
    changes.character = true;
  } else {
    weapon_ = WeaponModelData{};
    changes.weapon = true;
  }
  store_.WriteText(ini::kPreview, SettingsKey(role), "");
  changes.preview = true;
  return changes;
}

}  // namespace zam
