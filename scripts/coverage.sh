#!/usr/bin/env bash
# Line coverage of src/ by the native core tests (the portable code: the native
# build has no Windows code), and how many of the code lines are tests.
# Builds with gcov instrumentation in build/coverage; uses only g++ and gcov.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

DIR="$BUILD/coverage"
BUILD_TARGETS=core_tests build_native coverage -DZAM_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage
find "$DIR" -name '*.gcda' -delete
"$DIR/tests/core_tests" --gtest_brief=1 >"$DIR/core_tests.log" 2>&1 ||
  { tail -40 "$DIR/core_tests.log"; exit 1; }

# A header is compiled into many objects: a line counts once, as run when any
# object ran it.
cd "$DIR"
find . -name '*.gcda' -print0 |
  xargs -0 gcov --json-format --stdout 2>/dev/null |
  python3 -c '
import json, sys
root = sys.argv[1] + "/src/"
lines = {}
for text in sys.stdin:
    if not text.strip():
        continue
    for f in json.loads(text)["files"]:
        if not f["file"].startswith(root):
            continue
        for line in f["lines"]:
            key = (f["file"], line["line_number"])
            lines[key] = lines.get(key, False) or line["count"] > 0
run = sum(lines.values())
print(f"line coverage of src/: {100.0 * run / max(len(lines), 1):.1f}% ({run} of {len(lines)} lines)")
' "$ROOT"

cd "$ROOT"
count() { git ls-files "$@" | grep -E '\.(cpp|h|sh|py|cmake)$|CMakeLists\.txt$' | xargs cat | wc -l; }
tests=$(count tests)
all=$(count)
awk -v t="$tests" -v a="$all" 'BEGIN { printf "test lines: %d of %d code lines (%.1f%%)\n", t, a, 100 * t / a }'
