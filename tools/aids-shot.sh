#!/usr/bin/env bash
# Pictures of the balancing aids after a two-plane job on the simulated rig, under Xvfb:
# initial2.png (trial-mass suggestion), corr2-trial.png, corr2.png and run2.png (polar diagrams,
# tolerance verdicts), vectors.png (the vector tools window); initial1.png, corr1.png and
# run1.png of a single-plane job on a three-bladed rotor.
# usage: tools/aids-shot.sh OUTDIR [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-aids-shots}")"
build="$(realpath "${2:-$root/build/ci}")"
cmake --build "$build" --target shotaids
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/shotaids/shotaids" "$out"
ls "$out"
