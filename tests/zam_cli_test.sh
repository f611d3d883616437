#!/usr/bin/env bash
# Drives the zam command-line tool on generated packages: output, exit
# status and messages, and that a failed conversion leaves its target alone.
# Usage: tests/zam_cli_test.sh TOOLS_BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/cli_lib.sh" "$1"

"$gen" package "$work/a.ifp"
"$gen" package --anp3 "$work/b.ifp"

check "info names the layout" bash -c "'$zam' info '$work/a.ifp' | grep -q '^layout: ANPK'"
check "info lists animations with frames" bash -c "'$zam' info '$work/b.ifp' | grep -qE 'anim_0 +tracks +8 +frames +[0-9]+ +keys KR00 KRT0'"
python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); open(sys.argv[2], "wb").write(d.replace(b"sample", b"s\x1b[2J_", 1).replace(b"anim_0", b"an\x07_0\\", 1))' "$work/a.ifp" "$work/ctl.ifp"
check "info escapes control bytes in names" bash -c "'$zam' info '$work/ctl.ifp' | grep -qxF 'name: s\x1B[2J_' && '$zam' info '$work/ctl.ifp' | grep -qF 'an\x07_0\x5C ' && ! '$zam' info '$work/ctl.ifp' | grep -qP '[\x00-\x09\x0B-\x1F\x7F]'"
check "dump is JSON" bash -c "'$zam' dump '$work/a.ifp' | python3 -c 'import json,sys; d=json.load(sys.stdin); assert d[\"format\"]==\"ANPK\" and len(d[\"animations\"])==4; t=d[\"animations\"][0][\"tracks\"][0]; assert t[\"keyType\"]==\"KRT0\" and len(t[\"rotations\"][0])==4 and len(t[\"times\"])==len(t[\"translations\"])'"

# Every generated package of every layout, dumped and built again.
"$gen" package --real "$work/real.ifp"
"$gen" package --anp3 --real "$work/real3.ifp"
mkdir "$work/demo" && "$gen" demo "$work/demo" >/dev/null
rebuilt() {  # rebuilt IFP: zam build of zam dump writes the same bytes
  "$zam" dump "$1" >"$work/rebuilt.json" && "$zam" build "$work/rebuilt.json" "$work/rebuilt.ifp" && cmp -s "$1" "$work/rebuilt.ifp"
}
for f in a b real real3 demo/demo demo/demo_anp3; do
  check "build of dump gives $f.ifp again" rebuilt "$work/$f.ifp"
done
build_fails() {  # build_fails JSON_TEXT EXPECTED_MESSAGE: refused, saying so; the target is left alone
  printf '%s' "$1" >"$work/bad.json"
  cp "$work/a.ifp" "$work/target.ifp"
  "$zam" build "$work/bad.json" "$work/target.ifp" 2>"$work/err"
  [ $? -eq 1 ] && [ "$(cat "$work/err")" = "$work/bad.json: $2; nothing was written" ] && cmp -s "$work/a.ifp" "$work/target.ifp"
}
check "build refuses bad JSON with its line and column" build_fails $'{"format": "ANPK",\n "name": "x" "animations": []}' \
  "line 2, column 14: Missing a comma or '}' after an object member"
check "build refuses a missing field" build_fails '{"format": "ANPK", "name": "x", "animations": [{"name": "a"}]}' \
  'line 1, column 48: animations[0]: missing "tracks"'
check "build refuses an unknown key type" build_fails \
  '{"format": "ANPK", "name": "x", "animations": [{"name": "a", "tracks": [{"name": "b", "boneId": 1, "keyType": "KRT1", "times": [], "rotations": []}]}]}' \
  'line 1, column 111: animations[0].tracks[0].keyType: "KRT1" is no key type; "KR00", "KRT0", "KRTS" or a number'
check "build of no file says why" bash -c "[ \"\$('$zam' build '$work/none.json' '$work/x.ifp' 2>&1)\" = 'File cannot open. $work/none.json: No such file or directory' ] && [ ! -e '$work/x.ifp' ]"

check "convert to anp3" bash -c "'$zam' convert --to anp3 '$work/a.ifp' '$work/c.ifp' && '$zam' info '$work/c.ifp' | grep -q '^layout: ANP3'"
check "convert back keeps the animation list" bash -c "'$zam' convert --to anpk '$work/c.ifp' '$work/d.ifp' && diff <('$zam' info '$work/a.ifp' | tail -n +2) <('$zam' info '$work/d.ifp' | tail -n +2)"

# An ANPK package of one animation: a KRTS track "Spine" and a KRT0 track "Root", one key each.
python3 - "$work/scaled.ifp" <<'PY'
import struct, sys
def track(name, tag, floats):
    keys = struct.pack("<%df" % len(floats), *floats)
    anim = b"ANIM" + struct.pack("<I", 44) + name.ljust(28, b"\0") + struct.pack("<4i", 1, 0, 0, 3)
    body = anim + tag + struct.pack("<I", len(keys)) + keys
    return b"CPAN" + struct.pack("<I", len(body)) + body
tracks = track(b"Spine", b"KRTS", [0, 0, 0, 1, 1, 2, 3, 2, 2, 2, 0.5]) + track(b"Root", b"KRT0", [0, 0, 0, 1, 1, 2, 3, 0.5])
info = b"INFO" + struct.pack("<Iii", 8, 2, 0)
body = b"INFO" + struct.pack("<Ii", 8, 1) + b"pkg\0" + b"NAME" + struct.pack("<i", 5) + b"walk\0\0\0\0"
body += b"DGAN" + struct.pack("<I", len(info) + len(tracks)) + info + tracks
open(sys.argv[1], "wb").write(b"ANPK" + struct.pack("<I", len(body)) + body)
PY
check "convert to anp3 names the tracks whose scale it leaves out" bash -c "'$zam' convert --to anp3 '$work/scaled.ifp' '$work/scaled3.ifp' 2>'$work/err' && [ \"\$(cat '$work/err')\" = 'warning: animation \"walk\", track \"Spine\": KRTS keys are written as KRT0; their scale is left out' ] && '$zam' info '$work/scaled3.ifp' | grep -q '^layout: ANP3'"
"$zam" dump "$work/scaled.ifp" | sed 's/"format": "ANPK"/"format": "ANP3"/' >"$work/scaled.json"
check "build warns as convert does" bash -c "'$zam' build '$work/scaled.json' '$work/scaled5.ifp' 2>'$work/err' && grep -qF 'track \"Spine\": KRTS keys are written as KRT0' '$work/err' && cmp -s '$work/scaled3.ifp' '$work/scaled5.ifp'"
check "convert to anpk keeps the scale without a word" bash -c "'$zam' convert --to anpk '$work/scaled.ifp' '$work/scaled4.ifp' 2>'$work/err' && [ ! -s '$work/err' ] && cmp -s '$work/scaled.ifp' '$work/scaled4.ifp'"

printf 'RIFF0000' >"$work/bad.ifp"
check "unknown layout: message and status" bash -c "[ \"\$('$zam' info '$work/bad.ifp' 2>&1 >/dev/null)\" = 'Unknown Format String.' ] && ! '$zam' dump '$work/bad.ifp' >/dev/null 2>&1"
check "missing file message names the file and why" bash -c "[ \"\$('$zam' info '$work/none.ifp' 2>&1)\" = 'File cannot open. $work/none.ifp: No such file or directory' ]"
head -c 100 "$work/a.ifp" >"$work/cut.ifp"
check "truncated file warns and still succeeds" bash -c "'$zam' info '$work/cut.ifp' 2>&1 >/dev/null | grep -q truncated"

# A copy of IN whose animation count (at byte OFFSET) is negative, as a damaged file's.
negative_count() {  # negative_count IN OUT OFFSET
  python3 -c 'import struct, sys; d = bytearray(open(sys.argv[1], "rb").read()); at = int(sys.argv[3]); d[at:at + 4] = struct.pack("<i", -1); open(sys.argv[2], "wb").write(d)' "$@"
}
negative_count "$work/a.ifp" "$work/neg.ifp" 16
negative_count "$work/b.ifp" "$work/neg3.ifp" 32
check "a negative count is damage: message and status" bash -c "for f in neg neg3; do '$zam' info \"$work/\$f.ifp\" >/dev/null 2>\"$work/err\"; [ \$? -eq 1 ] && grep -q 'damaged' \"$work/err\" || exit 1; done"
cp "$work/a.ifp" "$work/keep2.ifp"
check "a damaged package is not converted" bash -c "! '$zam' convert --to anp3 '$work/neg.ifp' '$work/keep2.ifp' 2>/dev/null && cmp -s '$work/a.ifp' '$work/keep2.ifp'"

mkdir -p "$work/Игры"
check "paths in any script" bash -c "'$zam' convert --to anp3 '$work/a.ifp' '$work/Игры/бег 走る.ifp' && '$zam' info '$work/Игры/бег 走る.ifp' | grep -q '^layout: ANP3'"

# A path holding an escape sequence, a byte that is no UTF-8, a bell and a C1 control (U+009B, CSI):
# printed escaped as names are, its other UTF-8 as it is.
odd=$(printf 'c\033[2J\377_бег\a\302\233')
cp "$work/cut.ifp" "$work/$odd.ifp"
negative_count "$work/a.ifp" "$work/$odd-neg.ifp" 16
escaped_path_only() {  # escaped_path_only MESSAGE_TAIL COMMAND...: stderr names the path escaped, and is clean
  local tail=$1
  shift
  "$@" 2>"$work/err" >/dev/null
  grep -qF "$work/c\x1B[2J\xFF_бег\x07\xC2\x9B$tail" "$work/err" &&
    ! grep -qP '[\x00-\x09\x0B-\x1F\x7F]' "$work/err" && iconv -f UTF-8 -t UTF-8 "$work/err" >/dev/null 2>&1
}
check "paths in warnings are escaped" escaped_path_only ".ifp: the file is truncated" "$zam" info "$work/$odd.ifp"
check "paths in errors are escaped" escaped_path_only "-neg.ifp: the file is damaged" "$zam" info "$work/$odd-neg.ifp"

cp "$work/a.ifp" "$work/keep.ifp"
check "failed convert fails and leaves the target intact" bash -c "! '$zam' convert --to anp3 '$work/bad.ifp' '$work/keep.ifp' 2>/dev/null && cmp -s '$work/a.ifp' '$work/keep.ifp'"
check "convert into a missing folder fails saying why" bash -c "! '$zam' convert --to anp3 '$work/a.ifp' '$work/no/such/dir/x.ifp' 2>'$work/err' && grep -qF 'File cannot open. $work/no/such/dir/x.ifp: No such file or directory' '$work/err'"
cp "$work/a.ifp" "$work/locked.ifp" && chmod 0444 "$work/locked.ifp"
check "convert onto a read-only file refuses it and leaves it" bash -c "! '$zam' convert --to anp3 '$work/a.ifp' '$work/locked.ifp' 2>'$work/err' && grep -qF 'File cannot open. $work/locked.ifp: The file is read-only.' '$work/err' && cmp -s '$work/a.ifp' '$work/locked.ifp' && [ \"\$(stat -c %a '$work/locked.ifp')\" = 444 ]"
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
  chmod 755 "$work" && chmod 644 "$work/a.ifp"
  check "and so it does for a normal user" setpriv --reuid=65534 --regid=65534 --clear-groups bash -c "! '$zam' convert --to anp3 '$work/a.ifp' '$work/locked.ifp' 2>/dev/null && cmp -s '$work/a.ifp' '$work/locked.ifp'"
fi
mkdir "$work/folder.ifp"
check "convert onto a folder says why" bash -c "! '$zam' convert --to anp3 '$work/a.ifp' '$work/folder.ifp' 2>'$work/err' && grep -qF 'folder.ifp: Is a directory' '$work/err'"
mkdir -p "$work/state/zam/temporaries" && printf 'x' >"$work/.zam-Kl78Mn"
printf '%s' "$work/.zam-Kl78Mn" >"$work/state/zam/temporaries/killed.note"
check "a start removes what a killed save left" bash -c "XDG_STATE_HOME='$work/state' '$zam' info '$work/a.ifp' >/dev/null && [ ! -e '$work/.zam-Kl78Mn' ] && [ -z \"\$(ls -A '$work/state/zam/temporaries')\" ]"
check "no temporary files are left behind" bash -c "[ -z \"\$(ls -A '$work' | grep '^\\.zam-')\" ]"
check "usage errors exit with 2" bash -c "'$zam' convert --to xyz a b 2>/dev/null; [ \$? -eq 2 ]"

# Packages of every kind the game reads, each saved back unchanged by a conversion to its own layout.
for kind in "--anp3 --float" "--anp2" "--anp2 --float" "--anim-section 40" "--anim-section 48" "--empty-tracks"; do
  "$gen" package $kind "$work/kind.ifp"
  layout=$("$zam" info "$work/kind.ifp" | sed -n 's/^layout: //p' | tr A-Z a-z)
  extra=""; case "$kind" in *--float*) extra="--float";; esac
  check "$kind: read without a warning and written back unchanged" bash -c "'$zam' convert --to $layout $extra '$work/kind.ifp' '$work/kind2.ifp' 2>'$work/err' && [ ! -s '$work/err' ] && cmp -s '$work/kind.ifp' '$work/kind2.ifp'"
  check "$kind: built again from its dump" bash -c "'$zam' dump '$work/kind.ifp' >'$work/kind.json' && '$zam' build '$work/kind.json' '$work/kind3.ifp' && cmp -s '$work/kind.ifp' '$work/kind3.ifp'"
done
"$gen" package --anp3 --float "$work/float.ifp"
check "float keys dump as their floats" bash -c "'$zam' dump '$work/float.ifp' | python3 -c 'import json,sys; d=json.load(sys.stdin); t=d[\"animations\"][0][\"tracks\"][0]; assert t[\"floatKeys\"] and abs(sum(v*v for v in t[\"rotations\"][1])-1)<1e-5 and t[\"times\"][1]>0'"
"$gen" package --anim-section 48 "$work/links.ifp"
check "48-byte sections convert without inventing bone ids" bash -c "'$zam' convert --to anp3 '$work/links.ifp' '$work/links3.ifp' && '$zam' dump '$work/links3.ifp' | python3 -c 'import json,sys; d=json.load(sys.stdin); assert {t[\"boneId\"] for a in d[\"animations\"] for t in a[\"tracks\"]}=={-1}'"
check "convert --to anp2" bash -c "'$zam' convert --to anp2 '$work/a.ifp' '$work/a2.ifp' && '$zam' info '$work/a2.ifp' | grep -q '^layout: ANP2'"

# Nothing is clamped without a word: 40 m does not fit ANP3's compressed keys.
"$gen" package --break range "$work/far.ifp"
check "convert refuses what anp3 cannot hold" bash -c "! '$zam' convert --to anp3 '$work/far.ifp' '$work/far3.ifp' 2>'$work/err' && grep -qF 'not written: 1 values lie beyond' '$work/err' && grep -qF 'animation \"anim_0\", track \"bone_0\"' '$work/err' && [ ! -e '$work/far3.ifp' ]"
check "--clamp converts" bash -c "'$zam' convert --to anp3 --clamp '$work/far.ifp' '$work/far3.ifp' && '$zam' info '$work/far3.ifp' | grep -q '^layout: ANP3'"
check "--float keeps the value" bash -c "'$zam' convert --to anp3 --float '$work/far.ifp' '$work/far4.ifp' && '$zam' dump '$work/far4.ifp' | python3 -c 'import json,sys; d=json.load(sys.stdin); assert d[\"animations\"][0][\"tracks\"][0][\"translations\"][1][0]==40'"
check "build refuses what anp3 cannot hold" bash -c "'$zam' dump '$work/far.ifp' | sed 's/\"ANPK\"/\"ANP3\"/' >'$work/far.json' && ! '$zam' build '$work/far.json' '$work/far5.ifp' 2>'$work/err' && grep -qF 'not written: 1 values lie beyond' '$work/err' && [ ! -e '$work/far5.ifp' ]"

# The game's rules: each broken one is found; the real-shaped package breaks none.
"$gen" package --anp3 --real "$work/real.ifp"
check "check finds nothing in the real-shaped package" bash -c "out=\$('$zam' check '$work/real.ifp') && [ -z \"\$out\" ]"
for rule in no-keys first-key order nan unit shared-bone range long-name ends; do
  "$gen" package --break $rule "$work/broken.ifp"
  check "check finds $rule" bash -c "'$zam' check --to anp3 '$work/broken.ifp' >'$work/out'; [ \$? -eq 1 ] && grep -q '^$work/broken.ifp: animation \"anim_0\", track ' '$work/out'"
done
"$gen" img "$work/pkgs.img" "walk.ifp=$work/real.ifp" >/dev/null
check "check holds a package to its archive entry's name" bash -c "'$zam' check '$work/pkgs.img\\walk.ifp' | grep -qF 'package: the package is named \"sample\" but its archive entry \"walk.ifp\"'"

echo "zam: $failures failed"
[ "$failures" -eq 0 ]
