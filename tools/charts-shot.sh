#!/usr/bin/env bash
# Pictures of the charts window after a run on each of its four tabs (simulated module at its
# fast pace), under Xvfb: charts-broadband.png, charts-rotational.png, charts-harmonics.png,
# charts-spectrum.png, and the harmonics diagram files harmonics_tm.jpg and harmonics_gr.jpg.
# usage: tools/charts-shot.sh OUTDIR [BUILD_DIR] [REVS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-.}")"
build="$(realpath "${2:-$root/build/ci}")"
revs="${3:-2}"
mkdir -p "$out"
cmake --build "$build" --target shotcharts
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'pace = 0\n' > SimE154.cfg
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/shotcharts/shotcharts" "$out" "$revs"
ls "$out"/charts-*.png "$out"/harmonics_*.jpg
