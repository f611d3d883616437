#!/usr/bin/env bash
# Times `zam dump` of the real-shaped 3.8 MB ANP3 package against `cat` of
# the same file: whole processes (start, read, write, exit), with hyperfine,
# the output discarded and then fed through a pipe. Prints each mean and the
# ratio of dump to cat. Builds zam into build/release when it is not there.
# Usage: bench/zam_dump_bench.sh [RUNS]
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
runs=${1:-100}
PACKAGES=(hyperfine)
ensure_packages
tools="$BUILD/release/tools"
if [ ! -x "$tools/zam" ] || [ ! -x "$tools/zamgen" ]; then
  BUILD_TARGETS="zam zamgen" build_native release -DZAM_TESTS=OFF
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tools/zamgen" package --anp3 --real "$work/real.ifp"
"$tools/zam" dump "$work/real.ifp" >"$work/real.json"
echo "package $(stat -c %s "$work/real.ifp") bytes, its JSON $(stat -c %s "$work/real.json") bytes; load: $(cut -d' ' -f1-3 /proc/loadavg)"
for output in null pipe; do
  hyperfine -N --warmup 5 --runs "$runs" --output "$output" --export-json "$work/$output.json" \
    "cat $work/real.ifp" "$tools/zam dump $work/real.ifp" >/dev/null
  python3 - "$work/$output.json" "$output" <<'PY'
import json, sys
cat, dump = json.load(open(sys.argv[1]))["results"]
print(f"output {sys.argv[2]:4}: cat {cat['mean'] * 1e3:6.2f} ms (median {cat['median'] * 1e3:.2f}), "
      f"zam dump {dump['mean'] * 1e3:6.2f} ms (median {dump['median'] * 1e3:.2f}): "
      f"{dump['mean'] / cat['mean']:.1f}x the mean, {dump['median'] / cat['median']:.1f}x the median")
PY
done
