#!/usr/bin/env bash
# Polar diagrams of both channels after a two-plane job on the simulated module (eight blades).
# usage: tools/polar-shot.sh OUT.png [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-polar.png}")"
build="$(realpath "${2:-$root/build/ci}")"
cmake --build "$build" --target shotpolar
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
QT_QPA_PLATFORM=offscreen "$build/tools/shotpolar/shotpolar" "$out"
echo "$out"
