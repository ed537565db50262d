#!/usr/bin/env bash
# Builds Vintor-1 and starts it on the simulated ADC module in ./workdir (created if missing).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVINTOR_BENCH=OFF
cmake --build "$root/build/release" --target vintor vintor-cli manual
workdir="${VINTOR_WORKDIR:-$root/workdir}"
mkdir -p "$workdir"
cp -f "$root/build/release/docs/Kavero_manual.pdf" "$workdir/"
cp -f "$root/build/release/app/cli/vintor-cli" "$workdir/" 2>/dev/null || true
cd "$workdir"
exec "$root/build/release/app/ui/vintor" "$@"
