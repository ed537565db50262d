#!/usr/bin/env bash
# The layer check must be able to fail: a small tree with the project's table, first clean, then
# with a header of a lower folder including one of a higher folder, and with an unknown folder.
set -euo pipefail
check="$1"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
cd "$tree"
cat > README.md <<'TABLE'
# t
## Layout
| Order | Folder | What |
|---|---|---|
| 1 | `platform/` | seams |
| 2 | `measurement/` | numbers |
| 3 | `meter/core/` | headless |
| 4 | `kit/` | windows kit |
| 5 | `meter/` | window |
## Next
| 9 | `app/` | not part of the table |
TABLE
mkdir -p platform measurement meter/core kit meter tests app
echo '#pragma once' > platform/Seams.h
printf '#pragma once\n#include "platform/Seams.h"\n#include <vector>\n#include "Local.h"\n' > measurement/Math.h
printf '#include "measurement/Math.h"\n' > meter/core/Archive.cpp
printf '#include "meter/core/Archive.cpp"\n#include "kit/Kit.h"\n' > meter/Window.cpp
echo '#pragma once' > kit/Kit.h
printf '#include "meter/Window.cpp"\n' > tests/test_any.cpp

"$check" "$tree" > out.txt 2>&1 || { cat out.txt; echo "FAIL: a clean tree was refused"; exit 1; }

# A lower folder reaching up: measurement/ into kit/, and meter/core/ into meter/.
printf '#include "kit/Kit.h"\n' >> measurement/Math.h
printf '  #  include "meter/Window.cpp"\n' >> meter/core/Archive.cpp
if "$check" "$tree" > out.txt 2>&1; then cat out.txt; echo "FAIL: upward includes passed"; exit 1; fi
grep -q 'measurement/Math.h:5: includes kit/Kit.h from kit/, which is above measurement/' out.txt ||
  { cat out.txt; echo "FAIL: the first upward include is not named"; exit 1; }
grep -q 'meter/core/Archive.cpp:2: includes meter/Window.cpp from meter/, which is above meter/core/' out.txt ||
  { cat out.txt; echo "FAIL: the nested folder's upward include is not named"; exit 1; }

# A folder the table does not know is refused too (app/ is not in the Layout table).
sed -i '$d' measurement/Math.h
sed -i '$d' meter/core/Archive.cpp
printf '#include "kit/Kit.h"\n' > app/Main.cpp
if "$check" "$tree" > out.txt 2>&1; then cat out.txt; echo "FAIL: an unknown folder passed"; exit 1; fi
grep -q 'app/Main.cpp: not in any folder of the Layout table' out.txt ||
  { cat out.txt; echo "FAIL: the unknown folder is not named"; exit 1; }
echo "PASS"
