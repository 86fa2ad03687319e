#!/usr/bin/env bash
# Checks that a backend DLL exports the entry points as plain, undecorated C names:
#   check_exports.sh library.dll expected-count [extra names...]
# or that a module exports each of the given names exactly as written (the game
# program's data exports):
#   check_exports.sh --names-only module names...
set -euo pipefail
names_only=0
if [ "${1:-}" = --names-only ]; then
  names_only=1
  shift
fi
library=$1
shift
if ((names_only)); then
  (($#)) || { echo "no names to check"; exit 2; }
else
  expected=$1
  shift
fi
names=$(x86_64-w64-mingw32-objdump -p "$library" |
  awk '/Ordinal\/Name Pointer/{t=1; next} t && /^[ \t]*\[/{print $NF} t && /^[ \t]*$/{t=0}')
count=$(grep -cE '(InRenderer|OnRenderer|Renderer|ShaderSource|^registerWndProc|^clearCurrentFrameBuffer|^rendererTo|^getAvailableRenderer)' <<<"$names" || true)
if ((!names_only)) && grep -qE '^_Z|@' <<<"$names"; then
  echo "decorated names exported:"; grep -E '^_Z|@' <<<"$names"; exit 1
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
wanted=("$@")
if ((!names_only)); then
  wanted+=($(grep -oE '^\s+X\((\w+)' "$source_dir/backend/renderer_api.h" | sed 's/.*X(//') registerWndProc)
fi
missing=0
for name in "${wanted[@]}"; do
  grep -qx "$name" <<<"$names" || { echo "missing export: $name"; missing=1; }
done
((missing == 0)) || exit 1
if ((names_only)); then
  echo "$library exports ${wanted[*]}"
  exit 0
fi
echo "$library: $count interface names exported, none decorated"
[ "$count" -ge "$expected" ] || { echo "expected at least $expected"; exit 1; }
