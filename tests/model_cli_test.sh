#!/usr/bin/env bash
# Drives `zam model` on generated characters and weapons: the JSON it
# prints, the dictionary found beside the model, the library versions and
# section orders other exporters write, every texture format, and the
# loader's message and exit status on damaged input.
# Usage: tests/model_cli_test.sh TOOLS_BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/cli_lib.sh" "$1"
# json FILE PYTHON-ASSERTION: the assertion holds for the JSON in FILE, bound to d.
json() {
  python3 -c "import json,sys; d=json.load(open(sys.argv[1])); assert ($2), d" "$1" 2>/dev/null
}

mkdir -p "$work/alone"
"$gen" dff "$work/ped.dff" && "$gen" txd "$work/ped.txd"
"$gen" weapon "$work/pistol.dff" && "$gen" txd --weapon "$work/pistol.txd"
"$gen" dff --small "$work/alone/small.dff"

"$zam" model "$work/ped.dff" >"$work/ped.json"
check "character loads" test $? -eq 0
check "bones with normalised names, ids and parents; the weapon bone" json "$work/ped.json" \
  "len(d['bones'])==20 and d['bones'][13]=={'index':13,'name':'r hand','id':24,'parent':12,'nodeIndex':13} and d['weaponBoneIndex']==13"
check "the dictionary beside the model is used" json "$work/ped.json" \
  "d['dictionary'].endswith('ped.txd') and
  d['materials'][0]['texture']=={'name':'skin','format':21,'width':64,'height':64,'platform':9,'raster':'8888','decoded':True}"
check "the library version" json "$work/ped.json" "d['version']=='3.6.0.3'"
check "DXT textures show their FOURCC, untextured materials null" json "$work/ped.json" \
  "d['materials'][1]['texture']['format']=='DXT1' and d['materials'][2]['texture'] is None"
check "vertices, primitive type, complete, no message" json "$work/ped.json" \
  "d['vertexCount']==408 and d['primitiveType']==4 and d['complete'] and d['message'] is None"

# The same character with each frame's name before its HAnimPLG, and stamped
# by the 3.4 and 3.5 libraries (3.4 with the older skin layout), beside the
# same dictionary: everything but the version and the dictionary's path agrees.
for variant in "34:--rw 3.4.0.3 --name-first" "35:--rw 3.5.0.0" "first:--name-first"; do
  name=${variant%%:*}
  "$gen" dff ${variant#*:} "$work/ped$name.dff" && cp "$work/ped.txd" "$work/ped$name.txd"
  "$zam" model "$work/ped$name.dff" >"$work/ped$name.json"
done
same_as_ped() {
  python3 -c "import json,sys
a,b=(json.load(open(f)) for f in sys.argv[1:3])
for d in (a,b): d.pop('version'), d.pop('dictionary')
assert a==b and a['message'] is None" "$work/ped.json" "$1" 2>/dev/null
}
check "3.4, name first: same bones, mesh and textures" same_as_ped "$work/ped34.json"
check "3.5: the same" same_as_ped "$work/ped35.json"
check "3.6, name first: the same" same_as_ped "$work/pedfirst.json"
check "the versions are reported" json "$work/ped34.json" "d['version']=='3.4.0.3'"
check "the 3.5 version too" json "$work/ped35.json" "d['version']=='3.5.0.0'"
"$gen" dff --rw 3.3.0.2 "$work/ped33.dff"
check "3.3 is refused" bash -c "[ \"\$('$zam' model '$work/ped33.dff' 2>&1 >/dev/null)\" = 'Unknown RW Version ID.' ]"

# One texture of each Direct3D 8 raster format and palette depth, and one of
# a format no loader knows: the model loads, that one is drawn untextured.
"$gen" dff --formats "$work/formats.dff" && "$gen" txd --formats "$work/formats.txd"
"$zam" model "$work/formats.dff" >"$work/formats.json"
formats="[('1555','1555',True),('565','565',True),('4444','4444',True),('555','555',True),('888','888',True),
  ('8888','8888',True),('dxt1','1555',True),('dxt3','4444',True),('dxt5','4444',True),('pal8','PAL8 8888',True),
  ('pal4','PAL4 888',True),('unknown','DEFAULT',False)]"
check "every Direct3D 8 format decodes; the unknown one does not and the model loads" json "$work/formats.json" \
  "d['complete'] and d['message'] is None and all(m['texture']['platform']==8 for m in d['materials']) and
  [(m['texture']['name'],m['texture']['raster'],m['texture']['decoded']) for m in d['materials']]==$formats"

"$zam" model "$work/alone/small.dff" >"$work/small.json"
check "without a dictionary the model loads untextured" json "$work/small.json" \
  "d['dictionary'] is None and d['complete'] and all(m['texture'] is None for m in d['materials'])"
check "a dictionary can be named" bash -c "'$zam' model '$work/alone/small.dff' '$work/ped.txd' >/dev/null"

"$zam" model "$work/pistol.dff" --weapon >"$work/pistol.json"
check "weapon loads the geometry at frame 0" json "$work/pistol.json" \
  "d['model']=='weapon' and d['vertexCount']==48 and d['materials'][0]['texture']['name']=='pistol_body'"
"$gen" weapon --rw 3.4.0.3 "$work/pistol34.dff"
check "a weapon stamped 3.4 loads" json <("$zam" model "$work/pistol34.dff" "$work/pistol.txd" --weapon) \
  "d['version']=='3.4.0.3' and d['complete'] and d['vertexCount']==48"

head -c 600 "$work/ped.dff" >"$work/cut.dff"
"$zam" model "$work/cut.dff" >"$work/cut.json" 2>"$work/cut.err"
check "a damaged model exits non-zero" test $? -ne 0
check "its message is in the JSON and on standard error" json "$work/cut.json" \
  "d['message']=='RW Section Clump\\\\FrameList\\\\Extension not found.' and not d['complete'] and d['message']==open('$work/cut.err').read().strip()"
head -c 29000 "$work/ped.dff" >"$work/noskin.dff"
"$zam" model "$work/noskin.dff" >"$work/noskin.json" 2>/dev/null
check "what was read before the failure is shown" json "$work/noskin.json" \
  "len(d['bones'])==20 and d['vertexCount']==408 and not d['complete'] and d['message'].endswith('SkinPLG is damaged.')"

check "missing model or named dictionary" bash -c "[ \"\$('$zam' model '$work/none.dff' 2>&1)\" = 'File cannot open. $work/none.dff: No such file or directory' ] && [ \"\$('$zam' model '$work/ped.dff' '$work/none.txd' 2>&1)\" = 'File cannot open. $work/none.txd: No such file or directory' ]"
check "usage errors exit with 2" bash -c "'$zam' model 2>/dev/null; [ \$? -eq 2 ] && '$zam' model a b c 2>/dev/null; [ \$? -eq 2 ]"

echo "model: $failures failed"
[ "$failures" -eq 0 ]
