#!/usr/bin/env bash
# Drives `zam model` on generated characters and weapons: the JSON it
# prints, the dictionary found beside the model, and the loader's message
# and exit status on damaged input.
# Usage: tests/model_cli_test.sh TOOLS_BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/cli_lib.sh" "$1"
# json FILE PYTHON-ASSERTION: the assertion holds for the JSON in FILE, bound to d.
json() {
  python3 -c "import json,sys; d=json.load(open(sys.argv[1])); assert $2, d" "$1" 2>/dev/null
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
  "d['dictionary'].endswith('ped.txd') and d['materials'][0]['texture']=={'name':'skin','format':21,'width':64,'height':64}"
check "DXT textures show their FOURCC, untextured materials null" json "$work/ped.json" \
  "d['materials'][1]['texture']['format']=='DXT1' and d['materials'][2]['texture'] is None"
check "vertices, primitive type, complete, no message" json "$work/ped.json" \
  "d['vertexCount']==408 and d['primitiveType']==4 and d['complete'] and d['message'] is None"

"$zam" model "$work/alone/small.dff" >"$work/small.json"
check "without a dictionary the model loads untextured" json "$work/small.json" \
  "d['dictionary'] is None and d['complete'] and all(m['texture'] is None for m in d['materials'])"
check "a dictionary can be named" bash -c "'$zam' model '$work/alone/small.dff' '$work/ped.txd' >/dev/null"

"$zam" model "$work/pistol.dff" --weapon >"$work/pistol.json"
check "weapon loads the geometry at frame 0" json "$work/pistol.json" \
  "d['model']=='weapon' and d['vertexCount']==48 and d['materials'][0]['texture']['name']=='pistol_body'"

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
