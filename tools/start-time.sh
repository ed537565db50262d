#!/usr/bin/env bash
# Time from the process start to the main window's first paint, under Xvfb, in a fresh working
# directory each run. Prints every run and the median in milliseconds.
# usage: tools/start-time.sh [RUNS]   (VINTOR_BIN overrides the program, default the release build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-15}"
bin="$(realpath "${VINTOR_BIN:-$root/build/release/app/ui/vintor}")"
inner="$(mktemp)"
trap 'rm -f "$inner"' EXIT
cat > "$inner" <<'INNER'
bin="$1"; runs="$2"
sleep 1  # let the X server settle before the first run
for i in $(seq "$runs"); do
  work="$(mktemp -d)"
  cd "$work"
  start=$(date +%s%6N)
  paint=$(VINTOR_FIRST_PAINT=1 "$bin" 2>/dev/null | sed -n 's/^first-paint //p')
  echo $(( (paint - start) / 1000 ))
  cd /; rm -rf "$work"
done
INNER
mapfile -t times < <(xvfb-run -a -s "-screen 0 1280x1024x24" bash "$inner" "$bin" "$runs")
echo "runs (ms): ${times[*]}"
printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print "median (ms): " a[int((NR + 1) / 2)] }'
