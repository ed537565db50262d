#!/usr/bin/env bash
# Screenshot of the vibration meter after one measurement of the simulated rotor, under Xvfb.
# usage: tools/meter-shot.sh OUT.png [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-meter.png}")"
build="$(realpath "${2:-$root/build/ci}")"
cmake --build "$build" --target shotmeter
work="$(mktemp -d)"
cd "$work"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/shotmeter/shotmeter" "$out"
echo "$out"
