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
"$gen" package --anp2 --float "$seeds/ifp_reader/small_anp2_float.ifp"
"$gen" package --anim-section 48 --empty-tracks "$seeds/ifp_reader/small_links.ifp"
mkdir -p "$seeds/img_directory"
tiny=$(mktemp)
printf 'ANP3' >"$tiny"
"$gen" img "$seeds/img_directory/models.img" walk.ifp="$seeds/ifp_reader/small.ifp" ped.dff="$tiny" ped.txd="$tiny"
"$gen" img --lower-tag --junk-names "$seeds/img_directory/odd_names.img" abcdefghijklmnopqrst.ifp="$tiny" \
  a.ifp="$tiny" A.IFP="$tiny"
rm -f "$tiny"
# model_seed OUT DFF [TXD]: a model fuzzer's input, the DFF's size as 32 bits
# little-endian, the DFF, then the TXD if any.
model_seed() {
  local size
  size=$(stat -c %s "$2")
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((size & 255)) $((size >> 8 & 255)) \
    $((size >> 16 & 255)) $((size >> 24 & 255)))" >"$1"
  cat "$2" ${3:+"$3"} >>"$1"
}
models=$(mktemp -d)
"$gen" dff --small "$models/small.dff" && "$gen" txd --small "$models/small.txd"
"$gen" weapon "$models/pistol.dff" && "$gen" txd --weapon "$models/pistol.txd"
"$gen" dff --formats --rw 3.4.0.3 --name-first "$models/formats.dff" && "$gen" txd --formats "$models/formats.txd"
mkdir -p "$seeds/skinned_model" "$seeds/weapon_model"
model_seed "$seeds/skinned_model/small_textured" "$models/small.dff" "$models/small.txd"
model_seed "$seeds/skinned_model/formats_d3d8" "$models/formats.dff" "$models/formats.txd"
model_seed "$seeds/skinned_model/small_untextured" "$models/small.dff"
model_seed "$seeds/weapon_model/pistol_textured" "$models/pistol.dff" "$models/pistol.txd"
model_seed "$seeds/weapon_model/pistol_untextured" "$models/pistol.dff"
rm -rf "$models"
