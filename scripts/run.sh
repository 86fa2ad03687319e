#!/usr/bin/env bash
# Runs the game: installs what is missing, builds the dependencies once, builds, and
# starts Quarlo.exe under Wine on $DISPLAY (or on a private virtual display when
# there is none). Arguments go to Quarlo.exe, for example:
#   scripts/run.sh -forceRenderBackend VidPortOpenGL3_0.dll
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

"$ROOT/scripts/deps.sh" >/dev/null
"$ROOT/scripts/build.sh" native windows
BIN=$ROOT/build/windows/bin
exec "$ROOT/scripts/wine-run.sh" --prefix "$ROOT/build/windows/wineprefix" --timeout "${QUARLO_RUN_TIMEOUT:-86400}" \
  --cwd "$BIN" "$BIN/Quarlo.exe" "$@"
