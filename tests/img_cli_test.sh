#!/usr/bin/env bash
# Drives `zam img` on archives made by zamgen: listing, extraction into the
# named file only, write-back in place and after the end, and the messages
# and exit status of every failure.
# Usage: tests/img_cli_test.sh TOOLS_BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/cli_lib.sh" "$1"
# The write-back copies FILE into a temporary file: keep those where they can be counted.
export TMPDIR="$work/tmp"
mkdir -p "$TMPDIR"
size_of() { stat -c %s "$1"; }

"$gen" package "$work/a.ifp"          # 7396 bytes: 4 sectors in the archive, needs 4 to write back
"$gen" package --anp3 "$work/b.ifp"   # 3848 bytes: 2 sectors, needs 2
"$gen" img "$work/x.img" walk.ifp="$work/a.ifp" RUN.IFP="$work/b.ifp" ped.dff="$work/a.ifp"

check "list gives name, offset and size a line" \
  diff <("$zam" img list "$work/x.img") <(printf 'walk.ifp\t1\t4\nRUN.IFP\t5\t2\nped.dff\t7\t4\n')

"$zam" img extract "$work/x.img" run.ifp "$work/out.ifp"
check "extract by name in any case copies whole sectors" \
  bash -c "[ \$(stat -c %s '$work/out.ifp') -eq 4096 ] && cmp -s -n 3848 '$work/b.ifp' '$work/out.ifp'"
check "missing entry: message, status and no output file" bash -c "[ \"\$('$zam' img extract '$work/x.img' none.ifp '$work/none.ifp' 2>&1)\" = '$work/x.img: no entry named none.ifp' ] && ! '$zam' img extract '$work/x.img' none.ifp '$work/none.ifp' 2>/dev/null && [ ! -e '$work/none.ifp' ]"
check "missing archive: message, status and no output file" bash -c "[ \"\$('$zam' img list '$work/none.img' 2>&1)\" = 'File cannot open. $work/none.img' ] && ! '$zam' img extract '$work/none.img' a.ifp '$work/o.ifp' 2>/dev/null && [ ! -e '$work/o.ifp' ]"
check "not an archive" bash -c "! '$zam' img list '$work/a.ifp' 2>/dev/null"

cp "$work/x.img" "$work/before.img"
cp "$work/b.ifp" "$work/keep.ifp"
check "put into a large enough entry reports its place" \
  diff <("$zam" img put "$work/x.img" walk.ifp "$work/b.ifp") <(printf 'walk.ifp\t1\t4\n')
check "in place: the archive keeps its size" [ "$(size_of "$work/x.img")" -eq "$(size_of "$work/before.img")" ]
check "the user's file is left alone" cmp -s "$work/b.ifp" "$work/keep.ifp"
"$zam" img extract "$work/x.img" walk.ifp "$work/walk.ifp"
check "the written entry reads back" cmp -s -n 3848 "$work/b.ifp" "$work/walk.ifp"

old_size=$(size_of "$work/x.img")
"$zam" img put "$work/x.img" run.ifp "$work/a.ifp" >/dev/null
check "put into an entry too small appends it after the end" bash -c \
  "'$zam' img list '$work/x.img' | sed -n 2p | grep -qP '^RUN.IFP\t$((old_size / 2048))\t4$'"
"$zam" img extract "$work/x.img" run.ifp "$work/run.ifp"
check "the appended entry reads back" cmp -s -n 7396 "$work/a.ifp" "$work/run.ifp"
check "no temporary file is left behind" [ -z "$(ls -A "$TMPDIR")" ]

cp "$work/x.img" "$work/before.img"
cat "$work/a.ifp" "$work/a.ifp" "$work/a.ifp" >"$work/big.ifp"   # 11 sectors: appended
full_disk=$(( $(size_of "$work/x.img") / 1024 + 4 ))              # the disk takes two sectors more
check "put on a full disk says the archive is unchanged" bash -c "[ \"\$(ulimit -f $full_disk; trap '' XFSZ; '$zam' img put '$work/x.img' walk.ifp '$work/big.ifp' 2>&1)\" = '$work/x.img: The package could not be written into the archive; the archive is unchanged.' ]"
check "put on a full disk leaves the archive as it was" cmp -s "$work/x.img" "$work/before.img"

cp "$work/x.img" "$work/before.img"
check "put into a missing entry fails" bash -c "! '$zam' img put '$work/x.img' none.ifp '$work/a.ifp' 2>/dev/null"
check "put into a missing archive message" bash -c "[ \"\$('$zam' img put '$work/none.img' a.ifp '$work/a.ifp' 2>&1)\" = 'File cannot open. $work/none.img' ]"
check "put from a missing file fails" bash -c "! '$zam' img put '$work/x.img' walk.ifp '$work/none.ifp' 2>/dev/null"
check "failed puts leave the archive alone" cmp -s "$work/x.img" "$work/before.img"
odd=$(printf 'x\033]0;t\a\377')   # a terminal title sequence and a byte that is no UTF-8
cp "$work/x.img" "$work/$odd.img"
check "an archive's path is escaped in a message" \
  [ "$("$zam" img extract "$work/$odd.img" none.ifp "$work/none.ifp" 2>&1)" = "$work/x\\x1B]0;t\\x07\\xFF.img: no entry named none.ifp" ]
check "usage errors exit with 2" bash -c "'$zam' img extract '$work/x.img' 2>/dev/null; [ \$? -eq 2 ]"

echo "zam img: $failures failed"
[ "$failures" -eq 0 ]
