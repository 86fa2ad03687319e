#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the dependencies once, builds the
# native, sanitizer, fuzzing and Windows trees, then runs their test suites (the fuzz
# targets over their seeds and a few seconds each; the Windows ones under Wine on one
# private Xvfb unless $DISPLAY is set).
# Usage: test.sh [quick]   quick: the native tree only, for the edit-test loop.
# Every fixture a test needs must be there: a missing one fails the run, by name.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUICK=
case "${1:-}" in
  "") ;;
  quick) QUICK=1 ;;
  *) echo "usage: $0 [quick]" >&2; exit 2 ;;
esac

"$ROOT/scripts/deps.sh" >/dev/null

status=0
run_suite() { # tree, extra ctest args...
  local tree=$1 start=$SECONDS
  shift
  echo "== tests: $tree"
  (cd "$ROOT/build/$tree" && ctest --output-on-failure --no-tests=error -j "$(nproc 2>/dev/null || echo 2)" "$@") ||
    status=1
  echo "== tests: $tree took $((SECONDS - start)) s"
}

if [ -n "$QUICK" ]; then
  "$ROOT/scripts/build.sh" native
  run_suite native
  exit $status
fi

"$ROOT/scripts/build.sh" native asan windows
"$ROOT/scripts/fuzz.sh" build
run_suite native
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_suite asan
run_suite fuzz -L fuzz
# The Windows tests take turns on one display: each would otherwise start an Xvfb of
# its own, and a fresh Wine server with it, for every program it runs.
if [ -z "${DISPLAY:-}" ]; then
  . "$ROOT/scripts/lib/xvfb.sh"
  start_private_xvfb
  trap stop_private_xvfb EXIT
fi
run_suite windows
exit $status
