#!/usr/bin/env bash
# Fails when a source file includes a header from a folder above its own.
#
# The folder order is the "Layout" table of the top-level README (lowest first); this script
# reads it from there. A file belongs to the longest folder of the table that holds it, so
# `meter/core/` is its own layer below `meter/`. tests/, bench/, tools/ and docs/ may include
# anything. Usage: check-layers.sh [ROOT]   (default: the repository holding this script)
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

mapfile -t layers < <(awk '
  /^## / { inLayout = ($0 ~ /^## Layout/); next }
  inLayout && /^\| *[0-9]+ *\| *`[^`]+`/ {
    match($0, /`[^`]+`/)
    print substr($0, RSTART + 1, RLENGTH - 2)
  }' README.md)
if [ ${#layers[@]} -eq 0 ]; then
  echo "check-layers: no folder order found in the Layout table of $root/README.md" >&2
  exit 2
fi

# Every source file outside the free folders, with its include lines, as "file<TAB>line<TAB>header".
mapfile -t sources < <(find . -type f \( -name '*.h' -o -name '*.cpp' \) \
  -not -path './build*' -not -path './.git/*' -not -path './tests/*' -not -path './bench/*' \
  -not -path './tools/*' -not -path './docs/*' | sed 's#^\./##' | sort)

printf '%s\n' "${layers[@]}" | awk -v root="$root" '
  FNR == NR { order[++n] = $0; next }
  function layer(path,   i, best, bestLen) {
    best = 0; bestLen = 0
    for (i = 1; i <= n; i++)
      if (index(path, order[i]) == 1 && length(order[i]) > bestLen) {
        best = i; bestLen = length(order[i])
      }
    return best
  }
  {
    file = $0
    own = layer(file)
    if (own == 0) {
      printf "%s: not in any folder of the Layout table\n", file
      bad++
      next
    }
    lineNo = 0
    while ((getline text < file) > 0) {
      lineNo++
      if (text !~ /^[ \t]*#[ \t]*include[ \t]*"/) continue
      header = text
      sub(/^[^"]*"/, "", header)
      sub(/".*$/, "", header)
      # Only headers of this tree count (generated and neighbouring files have no folder).
      if ((getline probe < header) < 0) continue
      close(header)
      other = layer(header)
      if (other > own) {
        printf "%s:%d: includes %s from %s, which is above %s\n", file, lineNo, header,
               order[other], order[own]
        bad++
      }
    }
    close(file)
  }
  END { exit bad > 0 ? 1 : 0 }' - <(printf '%s\n' "${sources[@]}") || {
  echo "check-layers: a file includes from a folder above its own (order: ${layers[*]})" >&2
  exit 1
}
echo "check-layers: ${#sources[@]} files, ${#layers[@]} folders, no include points up"
