#!/usr/bin/env bash
# Runs one fuzz target: every seed once (the committed corpus/<target>/ and the generated
# ones), each within a second, then fuzzing for SECONDS with the target's dictionary when
# it has one. A crash, a sanitizer report, a leak, an input slower than the time limit or
# an allocation beyond the memory limit fails the run; the input is kept under
# RUNS/<target>/findings.
#
# Usage: run_fuzz_target.sh BINARY TARGET SEEDS RUNS SECONDS
# Environment:
#   FUZZ_KEEP_CORPUS=1   keep RUNS/<target>/corpus between runs (long runs grow it);
#                        otherwise every run starts again from the seeds
#   FUZZ_RUNS=N          stop after N executions as well
#   FUZZ_TIMEOUT=S       seconds one input may take while fuzzing (default 5: an input
#                        near the limits under the sanitizers on a loaded machine takes
#                        longer than the seeds' one second)
#   FUZZ_EXTRA="..."     more libFuzzer options
set -uo pipefail
BINARY=$1 TARGET=$2 SEEDS=$3 RUNS=$4 SECONDS_TO_RUN=$5
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
committed=$HERE/corpus/$TARGET
generated=$SEEDS/$TARGET
work=$RUNS/$TARGET

for dir in "$committed" "$generated"; do
  [ -d "$dir" ] || { echo "run_fuzz_target: the seed folder $dir is missing" >&2; exit 1; }
done
[ -n "$(ls -A "$committed")" ] || { echo "run_fuzz_target: $committed holds no seed" >&2; exit 1; }
[ "${FUZZ_KEEP_CORPUS:-0}" = 1 ] || rm -rf "$work/corpus"
mkdir -p "$work/corpus" "$work/findings"

options=(
  -max_total_time="$SECONDS_TO_RUN"
  -timeout="${FUZZ_TIMEOUT:-5}"
  # The largest block a reader may ask for is a 16384 x 16384 RGBA texture (1 GiB);
  # anything beyond comes from a count the limits let through.
  -malloc_limit_mb=1100
  -rss_limit_mb=2560
  -artifact_prefix="$work/findings/"
  -print_final_stats=1
)
[ -z "${FUZZ_RUNS:-}" ] || options+=(-runs="$FUZZ_RUNS")
[ -f "$HERE/dict/$TARGET.dict" ] && options+=(-dict="$HERE/dict/$TARGET.dict")
# shellcheck disable=SC2206 # FUZZ_EXTRA is a list of options
[ -z "${FUZZ_EXTRA:-}" ] || options+=(${FUZZ_EXTRA})

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# RapidJSON's own reports, if any, are kept out of the project's code: see the file.
export UBSAN_OPTIONS="$UBSAN_OPTIONS:suppressions=$HERE/rapidjson.supp"

# Every seed on its own first: the issue's files among them are refused well within the
# second.
find "$committed" "$generated" -type f -print0 |
  xargs -0 "$BINARY" -timeout=1 -malloc_limit_mb=1100 -rss_limit_mb=2560 -artifact_prefix="$work/findings/" \
    >"$work/seeds.log" 2>&1 || { cat "$work/seeds.log"; echo "run_fuzz_target: a seed of $TARGET failed" >&2; exit 1; }
# New inputs go to the first folder; the seed folders are only read.
"$BINARY" "${options[@]}" "$work/corpus" "$committed" "$generated"
