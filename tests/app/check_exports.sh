#!/usr/bin/env bash
# Checks that a backend DLL exports the entry points as plain, undecorated C names:
# check_exports.sh library.dll expected-count [extra names...]
set -euo pipefail
library=$1
expected=$2
shift 2
names=$(x86_64-w64-mingw32-objdump -p "$library" |
  awk '/Ordinal\/Name Pointer/{t=1; next} t && /^[ \t]*\[/{print $NF} t && /^[ \t]*$/{t=0}')
count=$(grep -cE '(InRenderer|OnRenderer|Renderer|ShaderSource|^registerWndProc|^clearCurrentFrameBuffer|^rendererTo|^getAvailableRenderer)' <<<"$names" || true)
if grep -qE '^_Z|@' <<<"$names"; then
  echo "decorated names exported:"; grep -E '^_Z|@' <<<"$names"; exit 1
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
missing=0
for name in $(grep -oE '^\s+X\((\w+)' "$source_dir/backend/renderer_api.h" | sed 's/.*X(//') registerWndProc "$@"; do
  grep -qx "$name" <<<"$names" || { echo "missing export: $name"; missing=1; }
done
((missing == 0)) || exit 1
echo "$library: $count interface names exported, none decorated"
[ "$count" -ge "$expected" ] || { echo "expected at least $expected"; exit 1; }
