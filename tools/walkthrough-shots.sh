#!/usr/bin/env bash
# The pictures of the manual's walk-through (docs/manual.md, "Walk-through: balancing the
# simulated rig"), under Xvfb: a single-plane job on the simulated rig, worked through the
# program's windows with the masses attached in the "Simulated rig" window. Writes wt-*.png into
# OUTDIR (default docs/walkthrough, where the manual takes them from).
# usage: tools/walkthrough-shots.sh [OUTDIR] [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/docs/walkthrough}")"
build="$(realpath "${2:-$root/build/ci}")"
cmake --build "$build" --target shotwalkthrough
mkdir -p "$out"
work="$(mktemp -d)/workdir"
mkdir -p "$work"
trap 'rm -rf "$(dirname "$work")"' EXIT
cd "$work"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/shotwalkthrough/shotwalkthrough" "$out"
ls -l "$out"/wt-*.png
