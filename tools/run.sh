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
# A new working directory gets settings that match the simulated sensors (sensitivities 20 and
# 20 mV per mm/s, offsets 0, limit 100 mm/s), so the program measures at once. The program
# itself keeps zero values when the file is missing.
if [ ! -e "$workdir/Kavero.cfg" ]; then
  printf '20\r\n20\r\n0\r\n0\r\n100\r\n' > "$workdir/Kavero.cfg"
fi
cd "$workdir"
exec "$root/build/release/app/ui/vintor" "$@"
