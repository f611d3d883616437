#!/usr/bin/env bash
# Builds everything and starts the editor on a demo package the project
# generates (or on the files given as arguments). Without a display it runs
# on a virtual one, saves a screenshot of the window and says where.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
trap stop_display_and_wine EXIT

ensure_packages
echo "== native build"
build_native release -DZAM_TESTS=OFF
echo "== Windows build"
build_windows -DZAM_TESTS=OFF

mkdir -p "$BUILD/demo"
"$BUILD/release/tools/zamgen" package "$BUILD/demo/demo.ifp"
echo "== zam info on the demo package"
"$BUILD/release/tools/zam" info "$BUILD/demo/demo.ifp"

files=("$@")
[ ${#files[@]} -eq 0 ] && files=("$BUILD/demo/demo.ifp")
windows_files=()
for f in "${files[@]}"; do windows_files+=("$(winepath -w "$f" 2>/dev/null || echo "$f")"); done

program="$BUILD/mingw/src/ZelcorAnimManager.exe"
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  start_wine
  echo "== starting the editor"
  wine "$program" "${windows_files[@]}"
  exit 0
fi

start_display
start_wine
echo "== starting the editor on a virtual display"
wine "$program" "${windows_files[@]}" &
title="$(basename "${files[0]}") - Zelcor Animation Manager"
for _ in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -qF "\"$title\"" && break
  sleep 0.2
done
sleep 1
mkdir -p "$BUILD/screenshots"
import -window root "$BUILD/screenshots/run.png"
echo "The editor ran on a virtual display; screenshot: $BUILD/screenshots/run.png"
