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
mkdir -p "$seeds/img_directory"
tiny=$(mktemp)
printf 'ANP3' >"$tiny"
"$gen" img "$seeds/img_directory/models.img" walk.ifp="$seeds/ifp_reader/small.ifp" ped.dff="$tiny" ped.txd="$tiny"
"$gen" img --lower-tag --junk-names "$seeds/img_directory/odd_names.img" abcdefghijklmnopqrst.ifp="$tiny" \
  a.ifp="$tiny" A.IFP="$tiny"
rm -f "$tiny"
