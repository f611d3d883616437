#!/usr/bin/env bash
# Drives `zam pose` on a generated character and package: the bones it
# prints, placed by the keys that `zam dump` shows, and the error paths
# against their messages.
# Usage: tests/pose_cli_test.sh TOOLS_BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/cli_lib.sh" "$1"

"$gen" dff --small "$work/small.dff"
"$gen" package "$work/a.ifp"
"$zam" dump "$work/a.ifp" >"$work/a.json"

pose() { "$zam" pose "$work/small.dff" "$work/a.ifp" anim_1 "$1"; }
# The matrices themselves are the core tests' part; here: the small
# character's bones by name, the root placed by the first key's translation
# (the sample package's track 0 names the root), the hand (no track) riding
# on the spine unrotated, and the end keys held outside the animation.
check "the pose at the first keys" python3 - "$work/a.json" <(pose 0) <<'PY'
import json, sys
dump, pose = json.load(open(sys.argv[1])), json.load(open(sys.argv[2]))
first = dump["animations"][1]["tracks"][0]["translations"][0]
bones = pose["bones"]
assert [b["name"] for b in bones] == ["root", "spine", "r hand"], bones
assert all(abs(x - y) < 1e-6 for x, y in zip(bones[0]["matrix"][3][:3], first)), bones[0]
assert all(abs(x - y) < 1e-6 for x, y in zip(pose["rootTranslation"], first)), pose
assert all(abs(x - y) < 1e-6 for r in range(3) for x, y in zip(bones[1]["matrix"][r], bones[2]["matrix"][r])), bones
PY
same_pose() { cmp -s <(pose "$1" | grep -v '"time"') <(pose "$2" | grep -v '"time"'); }
check "the first keys hold before the start" same_pose -3 0
check "the last keys hold after the end" same_pose 100 1000
other_pose() { ! same_pose "$@"; }
check "a time between keys gives another pose" other_pose 0 0.2

check "an unknown animation is an error" bash -c "'$zam' pose '$work/small.dff' '$work/a.ifp' no_such 0 2>&1 >/dev/null | grep -q 'no animation named \"no_such\"'"
check "a time that is no number is a usage error" bash -c "'$zam' pose '$work/small.dff' '$work/a.ifp' anim_0 1s 2>/dev/null; [ \$? -eq 2 ]"
check "a missing model cannot open" bash -c "[ \"\$('$zam' pose '$work/none.dff' '$work/a.ifp' anim_0 0 2>&1)\" = 'File cannot open. $work/none.dff: No such file or directory' ]"
printf 'RIFF0000' >"$work/bad.ifp"
check "a package of unknown layout" bash -c "[ \"\$('$zam' pose '$work/small.dff' '$work/bad.ifp' anim_0 0 2>&1)\" = 'Unknown Format String.' ]"
head -c 200 "$work/small.dff" >"$work/cut.dff"
check "a damaged model reports the loader's message" bash -c "'$zam' pose '$work/cut.dff' '$work/a.ifp' anim_0 0 2>&1 >/dev/null | grep -q 'RW Section'"

echo "pose: $failures failed"
[ "$failures" -eq 0 ]
