#!/usr/bin/env bash
# Builds the editor and starts it on a demo package the project generates (or
# on the files given as arguments). Without a display, or with --screenshot,
# it runs on a virtual display, saves a screenshot of the window and ends.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
trap stop_display_and_wine EXIT

screenshot=0
if [ "${1:-}" = "--screenshot" ]; then
  screenshot=1
  shift
fi

ensure_packages
echo "== native build (tools)"
BUILD_TARGETS="zam zamgen" build_native release -DZAM_TESTS=OFF
echo "== Windows build (the editor)"
# The same options as the test command, which shares this build: either
# command can run first.
BUILD_TARGETS="ZelcorAnimManager" build_windows -DZAM_TESTS=ON

mkdir -p "$BUILD/demo"
zamgen="$BUILD/release/tools/zamgen"
"$zamgen" package "$BUILD/demo/demo.ifp"
# The demo folder also holds a character and an archive of packages and models.
"$zamgen" dff "$BUILD/demo/ped.dff"
"$zamgen" txd "$BUILD/demo/ped.txd"
"$zamgen" package --anp3 "$BUILD/demo/run.ifp"
"$zamgen" weapon "$BUILD/demo/gun.dff"
"$zamgen" txd --weapon "$BUILD/demo/gun.txd"
"$zamgen" img "$BUILD/demo/demo.img" run.ifp="$BUILD/demo/run.ifp" ped.dff="$BUILD/demo/ped.dff" \
  ped.txd="$BUILD/demo/ped.txd" gun.dff="$BUILD/demo/gun.dff" gun.txd="$BUILD/demo/gun.txd"
rm -f "$BUILD/demo/run.ifp" "$BUILD/demo/gun.dff" "$BUILD/demo/gun.txd"
echo "== zam info on the demo package"
"$BUILD/release/tools/zam" info "$BUILD/demo/demo.ifp"

files=("$@")
[ ${#files[@]} -eq 0 ] && files=("$BUILD/demo/demo.ifp")

program="$BUILD/mingw/src/ZelcorAnimManager.exe"

# The browser starts in the demo folder unless the settings beside the
# program already name an initial directory.
start_initial_directory_in_demo() {
  local ini="$BUILD/mingw/src/ZelcorAnimManager.ini" demo
  demo=$(winepath -w "$BUILD/demo" 2>/dev/null) || return 0
  [ -f "$ini" ] && grep -q '^InitDir=' "$ini" && return 0
  if [ -f "$ini" ] && grep -q '^\[Directory\]' "$ini"; then
    sed -i "s|^\[Directory\]|[Directory]\nInitDir=${demo//\\/\\\\}|" "$ini"
  else
    printf '[Directory]\nInitDir=%s\n' "$demo" >>"$ini"
  fi
}
if [ "$screenshot" -eq 0 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  start_wine
  start_initial_directory_in_demo
  windows_files=()
  for f in "${files[@]}"; do windows_files+=("$(winepath -w "$f" 2>/dev/null || echo "$f")"); done
  echo "== starting the editor"
  wine "$program" "${windows_files[@]}"
  exit 0
fi

start_display
start_wine
start_initial_directory_in_demo
windows_files=()
for f in "${files[@]}"; do windows_files+=("$(winepath -w "$f" 2>/dev/null || echo "$f")"); done
echo "== starting the editor on a virtual display"
wine "$program" "${windows_files[@]}" &
title="$(basename "${files[0]}") - Zelcor Animation Manager"
shown=0
for _ in $(seq 150); do
  if xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\""; then shown=1; break; fi
  sleep 0.2
done
if [ "$shown" -eq 0 ]; then
  echo "the editor's window \"$title\" did not appear" >&2
  exit 1
fi
sleep 1
mkdir -p "$BUILD/screenshots"
import -window root "$BUILD/screenshots/run.png"
echo "The editor ran on a virtual display; screenshot: $BUILD/screenshots/run.png"
