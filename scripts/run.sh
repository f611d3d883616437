#!/usr/bin/env bash
# Builds the editor and starts it on the demo the project generates (a
# package playing on a character holding a pistol), or on the files given as
# arguments. Without a display, or with --screenshot, it runs on a virtual
# display, saves a screenshot of the window and ends.
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
BUILD_TARGETS="ZelcorAnimManager zamplay" build_windows -DZAM_TESTS=ON

demo="$BUILD/demo"
mkdir -p "$demo"
"$BUILD/release/tools/zamgen" demo "$demo"
echo "== zam info on the demo package"
"$BUILD/release/tools/zam" info "$demo/demo.ifp"

files=("$@")
[ ${#files[@]} -eq 0 ] && files=("$demo/demo.ifp")

program="$BUILD/mingw/src/ZelcorAnimManager.exe"
settings="$BUILD/mingw/src/ZelcorAnimManager.ini"

# The first start shows the demo character holding the pistol and browses the
# demo folder; settings the user already has are never touched.
write_demo_settings() {
  [ -e "$settings" ] && return 0
  local folder
  folder=$(winepath -w "$demo")
  printf '[Directory]\r\nInitDir=%s\\\r\n[Preview]\r\nModel=%s\\character.dff\r\nWeapon=%s\\pistol.dff\r\n' \
    "$folder" "$folder" "$folder" >"$settings"
}

# With the demo package open, its wave plays from the start.
play_demo() {
  if [ "$#" -eq 0 ]; then
    wine "$BUILD/mingw/tools/zamplay.exe" "demo.ifp - Zelcor Animation Manager" 2 >/dev/null 2>&1 &
  fi
}

if [ "$screenshot" -eq 0 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  start_wine
  write_demo_settings
  windows_files=()
  for f in "${files[@]}"; do windows_files+=("$(winepath -w "$f" 2>/dev/null || echo "$f")"); done
  echo "== starting the editor"
  play_demo "$@"
  wine "$program" "${windows_files[@]}"
  exit 0
fi

start_display
start_wine
write_demo_settings
windows_files=()
for f in "${files[@]}"; do windows_files+=("$(winepath -w "$f" 2>/dev/null || echo "$f")"); done
echo "== starting the editor on a virtual display"
wine "$program" "${windows_files[@]}" &
play_demo "$@"
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
sleep 2
mkdir -p "$BUILD/screenshots"
import -window root "$BUILD/screenshots/run.png"
echo "The editor ran on a virtual display; screenshot: $BUILD/screenshots/run.png"
