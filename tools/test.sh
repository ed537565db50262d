#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test headless: a normal build, then
# an AddressSanitizer + UndefinedBehaviorSanitizer build, then ThreadSanitizer for the tests
# labelled "thread". Exits non-zero on the first failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/deps.sh"
"$root/tools/check-layers.sh"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

run_suite() {  # dir, ctest label ("" for all), cmake args...
  local dir="$1" label="$2"
  shift 2
  cmake -S "$root" -B "$dir" -G Ninja -DVINTOR_WERROR=ON "$@"
  if [ -z "$label" ]; then
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs")
  else
    # Only the test programs that carry the label (each test is named after its target).
    local targets
    targets=$(cd "$dir" && ctest -N -L "$label" | sed -n 's/^ *Test *#[0-9]*: *//p')
    cmake --build "$dir" -j "$jobs" --target $targets
    (cd "$dir" && ctest --output-on-failure -j "$jobs" -L "$label")
  fi
}

run_suite "$root/build/ci" "" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite "$root/build/asan" "" -DCMAKE_BUILD_TYPE=Debug -DVINTOR_SANITIZE=ON \
  -DVINTOR_BENCH=OFF -DVINTOR_MANUAL=OFF
TSAN_OPTIONS="halt_on_error=1 suppressions=$root/tools/tsan.supp" \
  run_suite "$root/build/tsan" thread -DCMAKE_BUILD_TYPE=Debug -DVINTOR_TSAN=ON \
  -DVINTOR_BENCH=OFF -DVINTOR_MANUAL=OFF
