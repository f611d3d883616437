#!/usr/bin/env bash
# Drives `zam gltf` on the demo character, pistol and packages and checks
# what it writes as glTF clients see it: the Khronos validator (installed
# from the npm registry into the build folder on the first run) finds no
# error, there is one animation per package animation with the package's
# durations, and the joints' matrices match `zam pose` at several times.
# Usage: tests/gltf_cli_test.sh TOOLS_BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/cli_lib.sh" "$1"
source "$(dirname "$0")/../scripts/lib.sh"
check_glb() { node "$(dirname "$0")/gltf_check.js" "$@"; }

if ! ensure_gltf_validator; then
  echo "  FAIL the glTF validator could not be installed"
  echo "gltf: 1 failed"
  exit 1
fi

demo="$work/demo"
mkdir "$demo" && "$gen" demo "$demo" >/dev/null
"$gen" dff --small "$work/small.dff"
"$gen" package "$work/a.ifp"
export_demo() {  # export_demo PACKAGE OUT [options...]
  local package=$1 out=$2
  shift 2
  "$zam" gltf "$demo/character.dff" "$demo/character.txd" "$demo/$package" "$work/$out" --weapon "$demo/pistol.dff" "$@"
}
check "the demo exports with its pistol" export_demo demo.ifp demo.glb
check "the ANP3 demo exports" export_demo demo_anp3.ifp demo3.glb
check "chosen animations export" export_demo demo.ifp wave.glb --animation wave idle
check "a character without dictionary or weapon exports" "$zam" gltf "$work/small.dff" "$work/a.ifp" "$work/small.glb"
# Tracks glTF cannot take as they are: keys before 0, two keys at one time,
# quaternions of other lengths than 1 (and of none), a track longer than
# any bone's, tracks of no bone, an animation without tracks.
cat >"$work/odd.json" <<'JSON'
{"format": "ANPK", "name": "odd", "animations": [
  {"name": "odd", "tracks": [
    {"name": "root", "boneId": 0, "keyType": "KRT0", "times": [-0.5, 0.25, 0.25, 1],
     "rotations": [[0, 0, 0, 2], [0, 0.5, 0, 0.5], [0.1, 0, 0, 0.9], [0, 0, 0, 0]],
     "translations": [[0, 0, 0], [1, 0, 0], [0, 1, 0], [0, 0, 1]]},
    {"name": "spine", "boneId": 2, "keyType": "KRTS", "times": [0, 2], "rotations": [[0, 0, 0, 1], [0, 0, 1, 0]],
     "translations": [[0, 0, 0.2], [0, 0, 0.3]], "scales": [[1, 1, 1], [2, 2, 2]]},
    {"name": "hand", "boneId": 24, "keyType": 5, "times": [], "rotations": []},
    {"name": "none", "boneId": 99, "keyType": "KR00", "times": [0, 3], "rotations": [[0, 0, 0, 1], [0, 0, 0, 1]]}]},
  {"name": "still", "tracks": [{"name": "x", "boneId": 77, "keyType": "KR00", "times": [0, 1.5],
     "rotations": [[0, 0, 0, 1], [0, 0, 0, 1]]}]},
  {"name": "empty", "tracks": []}]}
JSON
check "awkward tracks export" bash -c "'$zam' build '$work/odd.json' '$work/odd.ifp' && '$zam' gltf '$work/small.dff' '$work/odd.ifp' '$work/odd.glb'"
check "the validator finds no error" check_glb validate "$work/demo.glb" "$work/demo3.glb" "$work/wave.glb" "$work/small.glb" \
  "$work/odd.glb"

"$zam" dump "$demo/demo.ifp" >"$work/demo.json"
"$zam" dump "$work/a.ifp" >"$work/a.json"
check "one animation per package animation, as long" check_glb durations "$work/demo.glb" "$work/demo.json"
check "and so for the generated package" check_glb durations "$work/small.glb" "$work/a.json"
check "and for the awkward tracks" check_glb durations "$work/odd.glb" "$work/odd.json"
check "only the chosen animations, in package order" bash -c "node -e 'const b=require(\"fs\").readFileSync(process.argv[1]); const j=JSON.parse(b.subarray(20,20+b.readUInt32LE(12))); process.exit(j.animations.map(a=>a.name).join()===\"idle,wave\"?0:1)' '$work/wave.glb'"

joints_match() {  # joints_match DFF IFP GLB ANIMATION TIME
  "$zam" pose "$1" "$2" "$4" "$5" >"$work/pose.json" && check_glb pose "$3" "$4" "$5" "$work/pose.json"
}
for animation_time in "idle 0" "idle 0.7" "walk 0.25" "walk 0.61" "wave 1.3" "wave 3"; do
  set -- $animation_time
  check "joints match zam pose: $1 at $2 s" joints_match "$demo/character.dff" "$demo/demo.ifp" "$work/demo.glb" "$1" "$2"
done
check "and for the generated package" joints_match "$work/small.dff" "$work/a.ifp" "$work/small.glb" anim_1 0.3

check "the same input gives the same file" bash -c "'$zam' gltf '$demo/character.dff' '$demo/character.txd' '$demo/demo.ifp' '$work/again.glb' --weapon '$demo/pistol.dff' && cmp -s '$work/demo.glb' '$work/again.glb'"
check "an unknown animation is an error, nothing written" bash -c "! '$zam' gltf '$demo/character.dff' '$demo/demo.ifp' '$work/none.glb' --animation run 2>'$work/err' && grep -qF 'no animation named \"run\"' '$work/err' && [ ! -e '$work/none.glb' ]"
check "a weapon without its file is a usage error" bash -c "'$zam' gltf '$demo/character.dff' '$demo/demo.ifp' '$work/x.glb' --weapon 2>/dev/null; [ \$? -eq 2 ]"
check "a missing dictionary cannot open" bash -c "[ \"\$('$zam' gltf '$demo/character.dff' '$work/no.txd' '$demo/demo.ifp' '$work/x.glb' 2>&1)\" = 'File cannot open. $work/no.txd: No such file or directory' ]"
check "no temporary files are left behind" bash -c "[ -z \"\$(ls -A '$work' | grep '^\\.zam-')\" ]"

echo "gltf: $failures failed"
[ "$failures" -eq 0 ]
