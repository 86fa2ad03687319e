#!/usr/bin/env bash
# The program's layers, from the bottom: the backend interface (backend/), the portable
# core (engine/), the game (game/), the Win32 shell (app/); tools and tests sit on top.
# An include may point down or sideways, never up.
# Usage: layers.sh SOURCE_ROOT
set -uo pipefail
cd "$1" || exit 2

status=0
# forbid FOLDER LAYER...: no file under FOLDER includes a header of the named layers.
forbid() {
  local folder=$1
  shift
  for layer in "$@"; do
    local found
    found=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"$layer/" "$folder" \
      --include='*.cpp' --include='*.h' || true)
    if [ -n "$found" ]; then
      printf '%s/ includes %s/:\n%s\n' "$folder" "$layer" "$found"
      status=1
    fi
  done
}

forbid engine game app tools tests
forbid game app tools tests
forbid app tools tests
[ "$status" -eq 0 ] && echo "every include points down"
exit $status
