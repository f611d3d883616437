#!/usr/bin/env bash
# Drives `zam pose` on a generated character and package: the bone matrices
# it prints are checked against the same pose worked out here from the keys
# that `zam dump` shows, and the error paths against their messages.
# Usage: tests/pose_cli_test.sh TOOLS_BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/cli_lib.sh" "$1"

"$gen" dff --small "$work/small.dff"
"$gen" package "$work/a.ifp"
"$zam" dump "$work/a.ifp" >"$work/a.json"

# expect_pose TIME: compares `zam pose` at TIME, before the first or after
# the last keys (interpolation is the core tests' part), with the pose built
# here from the keys `zam dump` shows. The small character is Root (id 0) at
# the origin, Spine (id 2) 1 up, " R Hand" (id 24) 0.5 along -X and 0.4 up
# from the spine, all unrotated. The sample package's track 0 (id 0)
# translates, track 1 (id 2) only rotates; no track names id 24.
expect_pose() {
  "$zam" pose "$work/small.dff" "$work/a.ifp" anim_1 "$1" >"$work/pose.json" || return 1
  python3 - "$work/a.json" "$work/pose.json" "$1" <<'PY'
import json, sys
dump, pose, t = json.load(open(sys.argv[1])), json.load(open(sys.argv[2])), float(sys.argv[3])
tracks = dump["animations"][1]["tracks"]
key = lambda track: track["keys"][0 if t <= 0 else -1]

def local(q, p):
    x, y, z, w = q
    return [[1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0],
            [2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0],
            [2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0],
            [p[0], p[1], p[2], 1]]

def mul(a, b):
    return [[sum(a[i][k] * b[k][j] for k in range(4)) for j in range(4)] for i in range(4)]

root = local(key(tracks[0])["rotation"], key(tracks[0])["translation"])
spine = mul(local(key(tracks[1])["rotation"], [0, 0, 1]), root)
hand = mul(local([0, 0, 0, 1], [-0.5, 0, 0.4]), spine)
assert [b["name"] for b in pose["bones"]] == ["root", "spine", "r hand"], pose
for want, have in zip([root, spine, hand], [b["matrix"] for b in pose["bones"]]):
    assert all(abs(want[i][j] - have[i][j]) < 1e-5 for i in range(4) for j in range(4)), (want, have)
assert all(abs(x - y) < 1e-6 for x, y in zip(pose["rootTranslation"], key(tracks[0])["translation"]))
PY
}

check "the pose at the first keys" expect_pose 0
check "the first keys hold before the start" expect_pose -3
check "the last keys hold after the end" expect_pose 100
check "a time between keys gives another pose" bash -c "! cmp -s <('$zam' pose '$work/small.dff' '$work/a.ifp' anim_1 0) <('$zam' pose '$work/small.dff' '$work/a.ifp' anim_1 0.2)"

check "an unknown animation is an error" bash -c "'$zam' pose '$work/small.dff' '$work/a.ifp' no_such 0 2>&1 >/dev/null | grep -q 'no animation named \"no_such\"'"
check "a time that is no number is a usage error" bash -c "'$zam' pose '$work/small.dff' '$work/a.ifp' anim_0 1s 2>/dev/null; [ \$? -eq 2 ]"
check "a missing model cannot open" bash -c "[ \"\$('$zam' pose '$work/none.dff' '$work/a.ifp' anim_0 0 2>&1)\" = 'File cannot open.' ]"
printf 'RIFF0000' >"$work/bad.ifp"
check "a package of unknown layout" bash -c "[ \"\$('$zam' pose '$work/small.dff' '$work/bad.ifp' anim_0 0 2>&1)\" = 'Unknown Format String.' ]"
head -c 200 "$work/small.dff" >"$work/cut.dff"
check "a damaged model reports the loader's message" bash -c "'$zam' pose '$work/cut.dff' '$work/a.ifp' anim_0 0 2>&1 >/dev/null | grep -q 'RW Section'"

echo "pose: $failures failed"
[ "$failures" -eq 0 ]
