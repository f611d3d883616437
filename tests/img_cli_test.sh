#!/usr/bin/env bash
# Drives `zam img` on archives made by zamgen: listing, extraction into the
# named file only, puts into free sectors, adding, deleting, renaming and
# rebuilding in both versions of archive, and the messages and exit status
# of every failure.
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

cp "$work/b.ifp" "$work/keep.ifp"
check "put goes after the last sector when no hole fits, and reports the place" \
  diff <("$zam" img put "$work/x.img" walk.ifp "$work/b.ifp") <(printf 'walk.ifp\t11\t2\n')
check "the user's file is left alone" cmp -s "$work/b.ifp" "$work/keep.ifp"
"$zam" img extract "$work/x.img" walk.ifp "$work/walk.ifp"
check "the written entry reads back" cmp -s -n 3848 "$work/b.ifp" "$work/walk.ifp"
check "put into the hole an earlier put left" \
  diff <("$zam" img put "$work/x.img" run.ifp "$work/a.ifp") <(printf 'RUN.IFP\t1\t4\n')
"$zam" img extract "$work/x.img" run.ifp "$work/run.ifp"
check "the moved entry reads back" cmp -s -n 7396 "$work/a.ifp" "$work/run.ifp"
check "no temporary file is left behind" [ -z "$(ls -A "$TMPDIR")" ]

# Add, rename, delete and rebuild, each leaving every other entry's bytes.
extract_all() {  # extract_all ARCHIVE FOLDER: every entry into FOLDER/NAME
  mkdir -p "$2"
  "$zam" img list "$1" | cut -f1 | while read -r name; do "$zam" img extract "$1" "$name" "$2/$name"; done
}
for version in 2 1; do
  if [ $version = 2 ]; then
    "$gen" img "$work/e.img" walk.ifp="$work/a.ifp" run.ifp="$work/b.ifp" ped.dff="$work/a.ifp"
  else
    "$gen" img --v1 "$work/e.img" walk.ifp="$work/a.ifp" run.ifp="$work/b.ifp" ped.dff="$work/a.ifp"
  fi
  rm -rf "$work/before" "$work/after"
  extract_all "$work/e.img" "$work/before"
  "$zam" img add "$work/e.img" "$work/b.ifp" >/dev/null
  check "v$version: add names the entry after the file" bash -c "'$zam' img list '$work/e.img' | tail -1 | grep -qP '^b.ifp\t'"
  check "v$version: add refuses a name taken, in any case" bash -c "! '$zam' img add '$work/e.img' '$work/a.ifp' WALK.IFP 2>/dev/null"
  "$zam" img add --replace "$work/e.img" "$work/b.ifp" walk.ifp >/dev/null
  "$zam" img extract "$work/e.img" walk.ifp "$work/w.ifp"
  check "v$version: add --replace writes over the entry" cmp -s -n 3848 "$work/b.ifp" "$work/w.ifp"
  check "v$version: rename refuses a name of 24 bytes" bash -c "! '$zam' img rename '$work/e.img' run.ifp abcdefghijklmnopqrst.ifp 2>/dev/null"
  "$zam" img rename "$work/e.img" run.ifp jog.ifp
  "$zam" img delete "$work/e.img" walk.ifp
  check "v$version: the directory after add, rename and delete" \
    diff <("$zam" img list "$work/e.img" | cut -f1) <(printf 'jog.ifp\nped.dff\nb.ifp\n')
  size_before=$(size_of "$work/e.img")
  "$zam" img rebuild "$work/e.img" >/dev/null
  check "v$version: rebuild shrinks the file" [ "$(size_of "$work/e.img")" -lt "$size_before" ]
  check "v$version: rebuild leaves no hole" bash -c "'$zam' img list '$work/e.img' | awk -F'\t' -v at=$((version - 1)) '\$2 != at { exit 1 } { at = \$2 + \$3 }'"
  extract_all "$work/e.img" "$work/after"
  check "v$version: every other entry keeps its bytes" bash -c \
    "cmp -s '$work/before/run.ifp' '$work/after/jog.ifp' && cmp -s '$work/before/ped.dff' '$work/after/ped.dff'"
  check "v$version: nothing left beside the archive" [ -z "$(ls -A "$work" | grep '^\.zam-')" ]
done
# A path relative to the working folder: the journal and the rebuild's new
# file are made beside the archive all the same, and none is left.
"$gen" img "$work/r.img" a.ifp="$work/a.ifp" b.ifp="$work/b.ifp" c.ifp="$work/a.ifp"
(cd "$work" && "$zam" img delete r.img a.ifp && "$zam" img rebuild r.img >/dev/null)
check "a relative path: delete and rebuild" diff <("$zam" img list "$work/r.img") <(printf 'b.ifp\t1\t2\nc.ifp\t3\t4\n')
check "a relative path: nothing left beside the archive" [ -z "$(ls -A "$work" | grep '^\.zam-')" ]

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
