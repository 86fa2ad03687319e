#!/usr/bin/env bash
# Runs a Windows program under Wine the way every Windows test and the game need it:
#   - a Wine prefix, created once (per build tree) and reused;
#   - WINEDEBUG=-all, and no Mono/Gecko install prompts;
#   - a display: $DISPLAY when set, otherwise a private Xvfb on a free display number,
#     stopped afterwards;
#   - a timeout (default 300 s) after which the program is killed.
# Usage: wine-run.sh [--prefix DIR] [--timeout SECONDS] [--cwd DIR] [--] program.exe [args...]
# The exit code is the program's, or 124 on a timeout.
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
PREFIX=${QUARLO_WINEPREFIX:-$ROOT/build/wineprefix}
TIMEOUT=300
CWD=

while (($#)); do
  case "$1" in
    --prefix) PREFIX=$2; shift 2 ;;
    --timeout) TIMEOUT=$2; shift 2 ;;
    --cwd) CWD=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
(($#)) || { echo "usage: $0 [--prefix DIR] [--timeout S] [--cwd DIR] program.exe [args...]" >&2; exit 2; }

export WINEPREFIX=$PREFIX
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}mscoree,mshtml=
export WINEARCH=win64

. "$ROOT/scripts/lib/xvfb.sh"
XVFB_PID=
# With a private display, the prefix's server goes too: it remembers this display's
# windows, and a program started later on another display would be told about them
# (an X error that ends it). Callers that share a display keep one server.
end_private_display() {
  if [ -n "$XVFB_PID" ]; then
    WINEPREFIX=$PREFIX wineserver -k >/dev/null 2>&1
    stop_private_xvfb
  fi
}
trap end_private_display EXIT

ensure_prefix() {
  mkdir -p "$(dirname "$PREFIX")"
  (
    flock 9
    if [ ! -f "$PREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$PREFIX.lock"
}

# Wine keeps one foreground window per prefix, whatever the display: programs that
# need the foreground must not run side by side (ctest serialises them with a
# resource lock).
[ -n "${DISPLAY:-}" ] || start_private_xvfb || exit 1
ensure_prefix

[ -n "$CWD" ] && cd "$CWD"
timeout --kill-after=10 "$TIMEOUT" wine "$@"
status=$?
exit $status
