#!/usr/bin/env bash
# Screenshot of the main window with the "Simulated rig" window beside it, under Xvfb, on a rig
# with an initial unbalance and two masses attached.
# usage: tools/rig-shot.sh OUT.png [BUILD_DIR] [SECONDS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-rig.png}")"
build="$(realpath "${2:-$root/build/ci}")"
wait_s="${3:-3}"
cmake --build "$build" --target vintor
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
printf '20\r\n20\r\n0\r\n0\r\n100\r\n' > "$work/Kavero.cfg"
printf '%s\r\n' "# the trainer's rig" "unbalance1 = 400@130" "unbalance2 = 150@300" \
  "masses1 = 3@0; 1.2@45@80" "masses2 = 2@90" "tacho_fault = bounce" > "$work/SimE154.cfg"
cd "$work"
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c \
  "\"$build/app/ui/vintor\" & pid=\$!; sleep $wait_s; import -window root \"$out\"; kill \$pid"
/usr/bin/convert "$out" -trim +repage "$out"
echo "$out"
