#!/usr/bin/env bash
# Writes seed inputs for each fuzz target into SEEDS/<target name>/.
# Usage: fuzz/make_seeds.sh BUILD_DIR SEEDS
set -euo pipefail
build=$1
seeds=$2
gen="$build/tools/zamgen"
mkdir -p "$seeds/ifp_reader"
"$gen" package "$seeds/ifp_reader/small.ifp"
"$gen" package --anp3 "$seeds/ifp_reader/small_anp3.ifp"
