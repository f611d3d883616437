#!/usr/bin/env bash
# Builds and runs every test: the core's unit tests natively under
# AddressSanitizer and UndefinedBehaviorSanitizer, a short fuzzing run, and
# the same unit tests built with MinGW-w64 and run under Wine on a virtual
# display. Prints one summary line per suite and a total.
set -uo pipefail
source "$(dirname "$0")/lib.sh"
trap stop_display_and_wine EXIT

FUZZ_SECONDS=${ZAM_FUZZ_SECONDS:-15}
TOTAL_PASSED=0
TOTAL_FAILED=0
SUMMARY=()

# run_gtest SUITE COMMAND...: runs a GoogleTest program and records its counts.
run_gtest() {
  local suite=$1
  shift
  local log="$BUILD/$suite.log"
  echo "== $suite"
  "$@" >"$log" 2>&1
  local status=$?
  local passed failed
  passed=$(grep -oE '^\[  PASSED  \] [0-9]+' "$log" | grep -oE '[0-9]+$' || echo 0)
  failed=$(grep -oE '^\[  FAILED  \] [0-9]+ tests?,' "$log" | grep -oE '[0-9]+' || echo 0)
  passed=${passed:-0}
  failed=${failed:-0}
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then failed=1; fi
  if [ "$failed" -ne 0 ]; then grep -E '^\[  FAILED  \]|Failure|ERROR|runtime error' "$log" | head -40; tail -20 "$log"; fi
  TOTAL_PASSED=$((TOTAL_PASSED + passed))
  TOTAL_FAILED=$((TOTAL_FAILED + failed))
  SUMMARY+=("$suite: $passed passed, $failed failed")
  echo "$suite: $passed passed, $failed failed"
}

# run_step SUITE COMMAND...: a check that passes or fails as a whole.
run_step() {
  local suite=$1
  shift
  echo "== $suite"
  if "$@"; then
    TOTAL_PASSED=$((TOTAL_PASSED + 1)); SUMMARY+=("$suite: 1 passed, 0 failed")
  else
    TOTAL_FAILED=$((TOTAL_FAILED + 1)); SUMMARY+=("$suite: 0 passed, 1 failed")
  fi
}

ensure_packages

# The README's run command first, as a user may run it before this one: it
# shares the Windows build, which must then still build and run the tests.
run_step run-command bash "$ROOT/scripts/run.sh" --screenshot

# The modules of src/ depend on each other without a circle (the build
# itself refuses includes that climb).
run_step dependencies python3 "$ROOT/scripts/check_dependencies.py" "$ROOT/src"

echo "== native build (sanitizers)"
build_native native-asan -DZAM_BENCH=OFF -DZAM_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo || exit 1
run_gtest native-core env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 "$BUILD/native-asan/tests/core_tests"
for cli_test in "$ROOT"/tests/*_cli_test.sh; do
  run_step "native-$(basename "$cli_test" _test.sh)" bash "$cli_test" "$BUILD/native-asan/tools"
done
# A few kills of every archive change; the full trial (200 kills and a full
# disk) is run by hand, see the README.
run_step native-img-kill-trial python3 "$ROOT/tests/img_kill_trial.py" "$BUILD/native-asan/tools" --trials 14 --no-full-disk

echo "== fuzz build (clang, libFuzzer)"
mkdir -p "$BUILD"
if configure_and_build "$BUILD/fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
     -DZAM_FUZZ=ON -DZAM_TESTS=OFF -DZAM_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
  run_step fuzz bash "$ROOT/fuzz/run.sh" "$BUILD/fuzz" "$FUZZ_SECONDS"
else
  run_step fuzz false
fi

echo "== Windows build (MinGW-w64)"
if build_windows -DZAM_TESTS=ON; then
  start_display && start_wine
  run_gtest wine-core wine "$BUILD/mingw/tests/core_tests.exe"
  unmanage_windows editor_tests.exe
  mkdir -p "$BUILD/screenshots"
  ZAM_SCREENSHOT_DIR="$(winepath -w "$BUILD/screenshots")" run_gtest wine-editor wine "$BUILD/mingw/tests/editor_tests.exe"
  for shot in "$BUILD"/screenshots/*.bmp; do
    [ -f "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot" && echo "screenshot: ${shot%.bmp}.png"
  done
else
  run_step windows-build false
fi

echo
echo "== summary"
printf '%s\n' "${SUMMARY[@]}"
echo "total: $TOTAL_PASSED passed, $TOTAL_FAILED failed"
[ "$TOTAL_FAILED" -eq 0 ]
