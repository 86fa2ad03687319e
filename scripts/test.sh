#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the dependencies once, builds the
# native, sanitizer, fuzzing and Windows trees, then runs their test suites (the fuzz
# targets over their seeds and a few seconds each; the Windows ones under Wine on a
# private Xvfb unless $DISPLAY is set).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

"$ROOT/scripts/deps.sh" >/dev/null
"$ROOT/scripts/build.sh" native asan windows
"$ROOT/scripts/fuzz.sh" build

status=0
run_suite() { # tree, extra ctest args...
  local tree=$1
  shift
  echo "== tests: $tree"
  (cd "$ROOT/build/$tree" && ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" "$@") || status=1
}
run_suite native
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_suite asan
run_suite fuzz -L fuzz
run_suite windows
exit $status
