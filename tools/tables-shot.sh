#!/usr/bin/env bash
# Pictures of the coefficient-table and archive windows with records in them, under Xvfb:
# kft1.png, kft2.png, kft1l.png, kft2l.png, arch1.png, arch2.png in OUTDIR.
# usage: tools/tables-shot.sh OUTDIR [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-tables-shots}")"
build="$(realpath "${2:-$root/build/ci}")"
cmake --build "$build" --target shottables
work="$(mktemp -d)"
cd "$work"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/shottables/shottables" "$out"
rm -rf "$work"
ls "$out"/*.png
