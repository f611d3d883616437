#!/usr/bin/env bash
# Changes one line of the core at a time (a comparison flipped, a bound off by
# one, a rounding removed), rebuilds the native core tests in build/mutation
# and runs them: every change must make some test fail. Each file is put back
# after its run, also when the script is stopped. Prints a line per change
# with the tests that failed, and exits non-zero when a change went unnoticed.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

DIR="$BUILD/mutation"
# file | line as it stands | the changed line | what the change breaks
MUTATIONS=(
  "src/anim/ifp_writer.h|return static_cast<int16_t>(static_cast<int32_t>(ticks < 0.0 ? ticks - 0.5 : ticks + 0.5));|return static_cast<int16_t>(static_cast<int32_t>(ticks));|ANP3 save truncates key times instead of rounding"
  "src/anim/anim_package.cpp|return std::fabs(frames - nearest) <= tolerance ? nearest : frames;|return frames;|n/60 times are not snapped to frame n"
  "src/anim/ifp_reader.cpp|size_t fit = (in_.Remaining() + recordSize - 1) / recordSize;|size_t fit = in_.Remaining() / recordSize;|reader drops the partial last record"
  "src/img/img_records.h|return bytes / kImgSectorSize + 1;|return (bytes + kImgSectorSize - 1) / kImgSectorSize;|a put reserves no extra sector"
  "src/img/img_edit.cpp|if (start >= cursor + sectors && sectors > 0) return cursor;|if (start >= cursor && sectors > 0) return cursor;|a put lands in a hole too small, over the next entry"
  "src/anim/package_merge.cpp|if (EqualIgnoringAsciiCase(NameText(document.animations[i].name), name))|if (NameText(document.animations[i].name) == name)|merge compares names with case"
  "src/anim/edit_history.h|static constexpr size_t kMaxSteps = 100;|static constexpr size_t kMaxSteps = 101;|history keeps 101 steps"
  "src/preview/pose.cpp|const size_t k0 = k > 0 ? k - 1 : 0;|const size_t k0 = k > 1 ? k - 2 : 0;|pose key search starts a key too early"
  "src/preview/cpu_skinning.cpp|1.0f - w[0] - w[1] - w[2]|1.0f - w[0] - w[1]|fourth skin weight ignores the third"
  "src/math/quaternion.cpp|if (dot < 0.0f) {|if (dot > 0.0f) {|slerp takes the longer arc"
  "src/app/editor.cpp|if (SecondsToFrames(track.keys[static_cast<size_t>(k)].time) == frame) return k;|if (SecondsToFrames(track.keys[static_cast<size_t>(k)].time) >= frame) return k;|a key is not inserted where a later one lies"
  "src/app/editor.cpp|const double ticks = std::round(|const double ticks = std::floor(|retimed keys truncate onto ticks instead of rounding"
  "src/platform/posix/file_system_posix.cpp|return (info.st_mode & 0222) == 0 |return false |an administrator replaces a read-only file"
  "src/img/img_edit.cpp|journal.Write(directoryName, 4, CountBytes(count - 1));|journal.Write(directoryName, 4, CountBytes(count));|a delete keeps the count, listing the last record twice"
)

restore() { [ -n "${backup:-}" ] && [ -f "$backup" ] && cp "$backup" "$target" && rm -f "$backup"; backup=""; }
trap restore EXIT INT TERM

BUILD_TARGETS=core_tests build_native mutation -DZAM_BENCH=OFF -DCMAKE_BUILD_TYPE=Release || exit 1
missed=0
for mutation in "${MUTATIONS[@]}"; do
  IFS='|' read -r file before after what <<<"$mutation"
  target="$ROOT/$file"
  backup=$(mktemp)
  cp "$target" "$backup"
  if ! python3 - "$target" "$before" "$after" <<'PY'
import sys
path, before, after = sys.argv[1:]
text = open(path).read()
if text.count(before) != 1:
    sys.exit(1)
open(path, "w").write(text.replace(before, after))
PY
  then
    echo "SKIPPED  $file: the line is not there as written ($what)"
    restore
    missed=$((missed + 1))
    continue
  fi
  if ! BUILD_TARGETS=core_tests build_native mutation -DZAM_BENCH=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null; then
    echo "CAUGHT   $file ($what): the tests do not build"
  else
    log=$(timeout 600 "$DIR/tests/core_tests" --gtest_brief=1 2>&1)
    status=$?
    failed=$(grep -oE '^\[  FAILED  \] [A-Za-z0-9_/.]+' <<<"$log" | awk '{print $4}' | sort -u | tr '\n' ' ')
    if [ -n "$failed" ]; then
      echo "CAUGHT   $file ($what): $failed"
    elif [ "$status" -ne 0 ]; then
      echo "CAUGHT   $file ($what): the test program ended with status $status"
    else
      echo "MISSED   $file ($what)"
      missed=$((missed + 1))
    fi
  fi
  restore
done
# Leave the build matching the sources again.
BUILD_TARGETS=core_tests build_native mutation -DZAM_BENCH=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
echo "mutations missed: $missed of ${#MUTATIONS[@]}"
[ "$missed" -eq 0 ]
