#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test headless: a normal build, then
# an AddressSanitizer + UndefinedBehaviorSanitizer build, then ThreadSanitizer for the tests
# labelled "thread". Exits non-zero on the first failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/deps.sh"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

run_suite() {  # dir, ctest args, cmake args...
  local dir="$1" ctest_args="$2"
  shift 2
  cmake -S "$root" -B "$dir" -G Ninja -DVINTOR_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" $ctest_args)
}

run_suite "$root/build/ci" "" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite "$root/build/asan" "" -DCMAKE_BUILD_TYPE=Debug -DVINTOR_SANITIZE=ON \
  -DVINTOR_BENCH=OFF -DVINTOR_MANUAL=OFF
TSAN_OPTIONS=halt_on_error=1 \
  run_suite "$root/build/tsan" "-L thread" -DCMAKE_BUILD_TYPE=Debug -DVINTOR_TSAN=ON \
  -DVINTOR_BENCH=OFF -DVINTOR_MANUAL=OFF
