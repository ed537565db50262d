#!/usr/bin/env bash
# Pictures of the balancing windows after a whole job of each mode on the simulated module,
# under Xvfb: run1.png and corr1.png (single-plane, polar), run2.png and corr2.png (two-plane,
# six blades), corr1-trial.png and corr2-trial.png (the corrections after the trial runs).
# usage: tools/balancing-shot.sh OUTDIR [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-balancing-shots}")"
build="$(realpath "${2:-$root/build/ci}")"
cmake --build "$build" --target shotbalancing
mkdir -p "$out"
work="$(mktemp -d)"
cd "$work"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/shotbalancing/shotbalancing" "$out"
ls "$out"
