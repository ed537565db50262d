#!/usr/bin/env bash
# Starts the program under Xvfb in a scratch working directory and saves a screenshot.
# usage: tools/screenshot.sh OUT.png [SECONDS] [extra xdotool-free setup: env VINTOR_* passed on]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-shot.png}")"
wait_s="${2:-3}"
bin="$(realpath "${VINTOR_BIN:-$root/build/ci/app/ui/vintor}")"
work="$(mktemp -d)"
cp -f "$root"/build/*/docs/Kavero_manual.pdf "$work/" 2>/dev/null || true
cd "$work"
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c "\"$bin\" & pid=\$!; sleep $wait_s; import -window root \"$out\"; kill \$pid" 
/usr/bin/convert "$out" -trim +repage "$out"
echo "$out"
