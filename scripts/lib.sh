# Shared set-up of the run and test scripts: packages, builds, the virtual
# display and the Wine prefix. Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${ZAM_BUILD_DIR:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)

PACKAGES=(cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
          mingw-w64 wine wine64 xvfb x11-utils imagemagick python3
          rapidjson-dev nlohmann-json3-dev libtinygltf-dev libstb-dev nodejs)

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
}

# The Khronos glTF validator from the npm registry, which the tests run on
# exported files: installed into the build folder once, reused after.
GLTF_VALIDATOR_VERSION=2.0.0-dev.3.10
ensure_gltf_validator() {
  export ZAM_NODE_MODULES="$BUILD/node/node_modules"
  grep -qF "\"version\": \"$GLTF_VALIDATOR_VERSION\"" "$ZAM_NODE_MODULES/gltf-validator/package.json" 2>/dev/null && return 0
  mkdir -p "$BUILD/node"
  npm install --prefix "$BUILD/node" --no-audit --no-fund --loglevel=error "gltf-validator@$GLTF_VALIDATOR_VERSION" >/dev/null
}

# configure_and_build DIR [cmake options...]: configures with exactly these
# options (so a cache another command left behind cannot change them) and
# builds the targets named in BUILD_TARGETS, or everything.
configure_and_build() {
  local dir=$1
  shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; return 1; }
  local targets=()
  for t in ${BUILD_TARGETS:-}; do targets+=(--target "$t"); done
  cmake --build "$dir" -j"$JOBS" "${targets[@]}" >"$dir.build.log" 2>&1
  local status=$?
  grep -E "error|warning:|Error" "$dir.build.log" || true
  return $status
}

# build_native NAME [cmake options...]: a native build in $BUILD/NAME.
build_native() {
  local name=$1
  shift
  mkdir -p "$BUILD"
  configure_and_build "$BUILD/$name" "$@"
}
build_windows() {
  mkdir -p "$BUILD"
  configure_and_build "$BUILD/mingw" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" "$@"
}

XVFB_PID=""
start_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -extension Composite -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "the virtual display did not start" >&2
  return 1
}

# The Wine prefix lives in the build folder: the first start is slow, later
# runs reuse it. DISPLAY must be set before the first Wine process.
start_wine() {
  export WINEPREFIX="$BUILD/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the Wine prefix"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p >/dev/null 2>&1 || true
}

# Without a window manager, Wine waits 2 s whenever a captioned window of a
# managed program is hidden or destroyed; test programs opt out.
unmanage_windows() {
  for program in "$@"; do
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 || true
  done
}

stop_display_and_wine() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}
