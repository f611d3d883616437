#pragma once
// Undo and redo of the changes made to a package. While a command runs it
// records each change as it makes it, with the indices of that moment; the
// changes of one command form a step. Undoing a step reverts its changes in
// reverse order, redoing replays them. Every change keeps only what the
// package does not hold at that moment: the removed record, or the other
// version of a changed one, which trades places with the package's on each
// undo and redo. Indices that name nothing change nothing.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "anim/anim_package.h"

namespace zam {

// What the window showed around a step, shown again by its undo and redo.
struct EditSelection {
  int currentAnimation = -1;
  std::vector<int> animations;  // selected rows of the animation list
  std::vector<int> tracks;      // selected rows of the bone list
};

// One record an undo or redo put back, took out or changed, at the index it
// had at that moment: applied in order, they bring a view of the package
// from before to after. `track` is -1 for an animation record; `animation`
// is -1 for the package's own fields.
struct SteppedChange {
  enum class Kind { Inserted, Removed, Changed };
  Kind kind;
  int animation;
  int track;
  bool operator==(const SteppedChange& other) const {
    return kind == other.kind && animation == other.animation && track == other.track;
  }
};

// What an undo or redo did, and what the window showed at the other end of the step.
struct SteppedState {
  EditSelection selection;
  std::vector<SteppedChange> changes;
};

enum class StepKind {
  Edit,    // an unsaved change
  Typing,  // an unsaved change that continues a typing step just before it
  Layout,  // the layout switch, by itself no unsaved change
};

// The package's own fields: its layout and its name.
struct PackageHeader {
  uint32_t format;
  char name[24];
};
PackageHeader HeaderOf(const AnimPackage& package);

class EditHistory {
 public:
  static constexpr size_t kMaxSteps = 100;
  static constexpr size_t kMaxBytes = size_t{256} << 20;

  // `maxBytes` bounds what the steps hold, counted from their tracks and keys.
  explicit EditHistory(size_t maxBytes = kMaxBytes) : maxBytes_(maxBytes) {}

  // Changes of the step in progress, recorded once made, with what undoing needs.
  void AnimationInserted(const AnimPackage& package, int index);
  void AnimationChanged(const AnimPackage& package, int index, Animation before);
  void TrackChanged(const AnimPackage& package, int animation, int track, BoneTrack before);
  void HeaderChanged(const PackageHeader& before);
  // Removals are made here, so what they remove is kept without a copy.
  // False when the index names nothing.
  bool RemoveAnimation(AnimPackage& package, int index);
  bool RemoveTrack(AnimPackage& package, int animation, int track);

  bool HasPendingChanges() const { return !pending_.empty(); }
  // Closes what was recorded since the last step (possibly nothing) into a
  // new step, dropping the steps that could be redone. The oldest steps go
  // while there are more than kMaxSteps or they hold more than maxBytes.
  void EndStep(StepKind kind, EditSelection before, EditSelection after);

  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < steps_.size(); }
  // Reverts the last step done, or replays the next one, on `package`, which
  // must be as that step left it or found it; returns what changed and what
  // the window showed before or after the step. Nothing when there is no
  // such step.
  std::optional<SteppedState> Undo(AnimPackage& package);
  std::optional<SteppedState> Redo(AnimPackage& package);

  // The package now is what its file holds.
  void MarkSaved();
  // True unless the steps between now and the saved state are all layout
  // switches; true when that state can no longer be reached.
  bool HasUnsavedChanges() const;
  // A new package: nothing to undo or redo, and it counts as saved.
  void Clear();

 private:
  struct Change {
    enum class Kind { AnimationInserted, AnimationRemoved, AnimationChanged, TrackRemoved, TrackChanged, Header };
    Kind kind;
    int animation;
    int track;
    Animation heldAnimation{};  // what the package lacks now
    BoneTrack heldTrack{};
    PackageHeader heldHeader{};
  };
  struct Step {
    StepKind kind;
    std::vector<Change> changes;
    EditSelection before, after;
    size_t bytes;
  };

  // Undoes (`redo` false) or redoes one change; what it did, if anything.
  static std::optional<SteppedChange> Apply(AnimPackage& package, Change& change, bool redo);
  void Record(Change change, size_t bytes);
  void DropRedoable();
  void DropOldest();

  size_t maxBytes_;
  std::deque<Step> steps_;
  size_t position_ = 0;              // steps done; the rest can be redone
  std::optional<size_t> saved_ = 0;  // the position the file holds, if still reachable
  std::vector<Change> pending_;
  size_t pendingBytes_ = 0;
  size_t bytes_ = 0;
  bool typing_ = false;  // the last step done is typing, and nothing happened since
};

}  // namespace zam
