#include "anim/edit_history.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zam {
namespace {

// What a record holds, counted as if no two records shared keys.
size_t Footprint(const BoneTrack& track) { return sizeof(BoneTrack) + track.keys.size() * sizeof(KeyFrame); }

size_t Footprint(const Animation& animation) {
  size_t bytes = sizeof(Animation);
  for (const BoneTrack& track : animation.bones) bytes += Footprint(track);
  return bytes;
}

size_t Footprint(const EditSelection& selection) {
  return (selection.animations.size() + selection.tracks.size()) * sizeof(int);
}

BoneTrack* TrackAt(AnimPackage& package, int animation, int track) {
  Animation* owner = AnimationAt(package, animation);
  if (!owner || track < 0 || track >= owner->boneCount()) return nullptr;
  return &owner->bones[static_cast<size_t>(track)];
}

}  // namespace

PackageHeader HeaderOf(const AnimPackage& package) {
  PackageHeader header{};
  header.format = package.format;
  std::memcpy(header.name, package.name, sizeof header.name);
  return header;
}

void EditHistory::AnimationInserted(const AnimPackage& package, int index) {
  const Animation* inserted = AnimationAt(package, index);
  if (inserted) Record({Change::Kind::AnimationInserted, index, -1}, Footprint(*inserted));
}

void EditHistory::AnimationChanged(const AnimPackage& package, int index, Animation before) {
  const Animation* now = AnimationAt(package, index);
  if (!now) return;
  size_t bytes = std::max(Footprint(*now), Footprint(before));
  Change change{Change::Kind::AnimationChanged, index, -1};
  change.heldAnimation = std::move(before);
  Record(std::move(change), bytes);
}

void EditHistory::TrackChanged(const AnimPackage& package, int animation, int track, BoneTrack before) {
  const Animation* owner = AnimationAt(package, animation);
  if (!owner || track < 0 || track >= owner->boneCount()) return;
  size_t bytes = std::max(Footprint(owner->bones[static_cast<size_t>(track)]), Footprint(before));
  Change change{Change::Kind::TrackChanged, animation, track};
  change.heldTrack = std::move(before);
  Record(std::move(change), bytes);
}

void EditHistory::HeaderChanged(const PackageHeader& before) {
  Change change{Change::Kind::Header, -1, -1};
  change.heldHeader = before;
  Record(std::move(change), 0);
}

bool EditHistory::RemoveAnimation(AnimPackage& package, int index) {
  if (!AnimationAt(package, index)) return false;
  Change change{Change::Kind::AnimationRemoved, index, -1};
  Apply(package, change, true);
  size_t bytes = Footprint(change.heldAnimation);
  Record(std::move(change), bytes);
  return true;
}

bool EditHistory::RemoveTrack(AnimPackage& package, int animation, int track) {
  if (!TrackAt(package, animation, track)) return false;
  Change change{Change::Kind::TrackRemoved, animation, track};
  Apply(package, change, true);
  size_t bytes = Footprint(change.heldTrack);
  Record(std::move(change), bytes);
  return true;
}

void EditHistory::Record(Change change, size_t bytes) {
  pending_.push_back(std::move(change));
  pendingBytes_ += sizeof(Change) + bytes;
}

std::optional<SteppedChange> EditHistory::Apply(AnimPackage& package, Change& change, bool redo) {
  using Kind = Change::Kind;
  using Did = SteppedChange::Kind;
  std::vector<Animation>& animations = package.animations;
  const size_t at = static_cast<size_t>(change.animation);
  const SteppedChange onAnimation{Did::Changed, change.animation, -1};
  const SteppedChange onTrack{Did::Changed, change.animation, change.track};
  // Removing moves the record into the change; putting it back moves it out.
  auto takeAnimation = [&]() -> std::optional<SteppedChange> {
    if (!AnimationAt(package, change.animation)) return std::nullopt;
    change.heldAnimation = std::move(animations[at]);
    animations.erase(animations.begin() + change.animation);
    return SteppedChange{Did::Removed, change.animation, -1};
  };
  auto putAnimation = [&]() -> std::optional<SteppedChange> {
    if (change.animation < 0 || change.animation > package.animationCount()) return std::nullopt;
    animations.insert(animations.begin() + change.animation, std::move(change.heldAnimation));
    change.heldAnimation = Animation{};
    return SteppedChange{Did::Inserted, change.animation, -1};
  };
  auto takeTrack = [&]() -> std::optional<SteppedChange> {
    BoneTrack* track = TrackAt(package, change.animation, change.track);
    if (!track) return std::nullopt;
    change.heldTrack = std::move(*track);
    animations[at].bones.erase(animations[at].bones.begin() + change.track);
    return SteppedChange{Did::Removed, change.animation, change.track};
  };
  auto putTrack = [&]() -> std::optional<SteppedChange> {
    Animation* owner = AnimationAt(package, change.animation);
    if (!owner || change.track < 0 || change.track > owner->boneCount()) return std::nullopt;
    owner->bones.insert(owner->bones.begin() + change.track, std::move(change.heldTrack));
    change.heldTrack = BoneTrack{};
    return SteppedChange{Did::Inserted, change.animation, change.track};
  };
  switch (change.kind) {
    case Kind::AnimationInserted:
      return redo ? putAnimation() : takeAnimation();
    case Kind::AnimationRemoved:
      return redo ? takeAnimation() : putAnimation();
    case Kind::TrackRemoved:
      return redo ? takeTrack() : putTrack();
    case Kind::AnimationChanged:
      if (Animation* animation = AnimationAt(package, change.animation)) {
        std::swap(*animation, change.heldAnimation);
        return onAnimation;
      }
      return std::nullopt;
    case Kind::TrackChanged:
      if (BoneTrack* track = TrackAt(package, change.animation, change.track)) {
        std::swap(*track, change.heldTrack);
        return onTrack;
      }
      return std::nullopt;
    case Kind::Header:
      std::swap(package.format, change.heldHeader.format);
      std::swap(package.name, change.heldHeader.name);
      return SteppedChange{Did::Changed, -1, -1};
  }
  return std::nullopt;
}

void EditHistory::EndStep(StepKind kind, EditSelection before, EditSelection after) {
  if (kind == StepKind::Typing && typing_ && CanUndo() && !CanRedo()) {
    // One more character: the typing step grows instead of a new step.
    Step& last = steps_.back();
    size_t added = pendingBytes_ + Footprint(after);
    size_t dropped = Footprint(last.after);
    for (Change& change : pending_) last.changes.push_back(std::move(change));
    last.after = std::move(after);
    last.bytes = last.bytes - dropped + added;
    bytes_ = bytes_ - dropped + added;
  } else {
    DropRedoable();
    size_t bytes = sizeof(Step) + pendingBytes_ + Footprint(before) + Footprint(after);
    steps_.push_back({kind, std::move(pending_), std::move(before), std::move(after), bytes});
    bytes_ += bytes;
    ++position_;
  }
  pending_.clear();
  pendingBytes_ = 0;
  typing_ = kind == StepKind::Typing;
  while (!steps_.empty() && (steps_.size() > kMaxSteps || bytes_ > maxBytes_)) DropOldest();
}

void EditHistory::DropRedoable() {
  while (steps_.size() > position_) {
    bytes_ -= steps_.back().bytes;
    steps_.pop_back();
  }
  if (saved_ && *saved_ > position_) saved_.reset();
}

void EditHistory::DropOldest() {
  bytes_ -= steps_.front().bytes;
  steps_.pop_front();
  --position_;
  // The saved state lay before the dropped step: no undo reaches it now.
  if (saved_ && *saved_ == 0) {
    saved_.reset();
  } else if (saved_) {
    --*saved_;
  }
}

std::optional<SteppedState> EditHistory::Undo(AnimPackage& package) {
  if (!CanUndo()) return std::nullopt;
  Step& step = steps_[position_ - 1];
  SteppedState state{step.before, {}};
  for (auto change = step.changes.rbegin(); change != step.changes.rend(); ++change) {
    if (auto did = Apply(package, *change, false)) state.changes.push_back(*did);
  }
  --position_;
  typing_ = false;
  return state;
}

std::optional<SteppedState> EditHistory::Redo(AnimPackage& package) {
  if (!CanRedo()) return std::nullopt;
  Step& step = steps_[position_];
  SteppedState state{step.after, {}};
  for (Change& change : step.changes) {
    if (auto did = Apply(package, change, true)) state.changes.push_back(*did);
  }
  ++position_;
  typing_ = false;
  return state;
}

void EditHistory::MarkSaved() {
  saved_ = position_;
  typing_ = false;
}

bool EditHistory::HasUnsavedChanges() const {
  if (!saved_) return true;
  size_t from = std::min(*saved_, position_), to = std::max(*saved_, position_);
  for (size_t i = from; i < to; ++i) {
    if (steps_[i].kind != StepKind::Layout) return true;
  }
  return false;
}

void EditHistory::Clear() {
  steps_.clear();
  pending_.clear();
  position_ = 0;
  saved_ = 0;
  bytes_ = 0;
  pendingBytes_ = 0;
  typing_ = false;
}

}  // namespace zam
