#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan and UBSan) in build/fuzz and runs them.
#
# Usage: fuzz.sh build                      build the targets (and the instrumented
#                                           libpng and FreeType they link) only
#        fuzz.sh assetinfo                  assetinfo, built with the sanitizers (build/asan,
#                                           from scripts/build.sh asan), over every seed and
#                                           every corpus the runs grew: 0 or a refusal each
#        fuzz.sh [TARGET|all] [SECONDS] [RUNS]
#   TARGET   one of tests/fuzz/CMakeLists.txt's targets (json_mesh, glb, png, ...); all by default
#   SECONDS  how long each target runs (default 60)
#   RUNS     stop a target after this many executions as well
# Each target's corpus grows in build/fuzz/fuzz-runs/<target>/corpus from run to run;
# findings land in build/fuzz/fuzz-runs/<target>/findings. The built data folder
# (build/native, from scripts/build.sh native) seeds the corpora with the committed
# tests/fuzz/corpus files. Long runs belong at low priority, one at a time:
#   nice -n 19 scripts/fuzz.sh png 3600 10000000
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${QUARLO_JOBS:-$(nproc 2>/dev/null || echo 2)}
CACHE=${QUARLO_CACHE:-$ROOT/.cache}
DATA=${QUARLO_FUZZ_DATA:-$ROOT/build/native/data}
BUILD=$ROOT/build/fuzz
TARGET=${1:-all}
SECONDS_EACH=${2:-60}
RUNS=${3:-}

if [ "$TARGET" = assetinfo ]; then
  [ -f "$ROOT/build/asan/CMakeCache.txt" ] || { echo "fuzz.sh: no build/asan; run scripts/build.sh asan first" >&2; exit 2; }
  cmake --build "$ROOT/build/asan" -j "$JOBS" --target assetinfo
  exec bash "$ROOT/tests/fuzz/assetinfo_corpora.sh" "$ROOT/build/asan/bin/assetinfo" "$ROOT/build/asan/data" "$CACHE" \
    "$BUILD/fuzz-runs"
fi

LIBRARIES=$BUILD/instrumented-libraries
QUARLO_JOBS=$JOBS bash "$ROOT/tests/fuzz/build_fuzz_libraries.sh" "$LIBRARIES" "$CACHE"
GENERATOR=()
command -v ninja >/dev/null && GENERATOR=(-G Ninja)
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" "${GENERATOR[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUARLO_FUZZ=ON -DQUARLO_SANITIZE=ON -DQUARLO_CACHE_DIR="$CACHE" -DQUARLO_FUZZ_DATA_DIR="$DATA" \
    -DQUARLO_FUZZ_LIBRARY_PREFIX="$LIBRARIES" >/dev/null
else
  cmake "$BUILD" -DQUARLO_FUZZ_DATA_DIR="$DATA" -DQUARLO_FUZZ_LIBRARY_PREFIX="$LIBRARIES" >/dev/null
fi
cmake --build "$BUILD" -j "$JOBS" --target fuzzers
[ "$TARGET" = build ] && exit 0

bash "$ROOT/tests/fuzz/make_seeds.sh" "$BUILD/fuzz-seeds" "$DATA" "$CACHE"

targets=()
if [ "$TARGET" = all ]; then
  for binary in "$BUILD"/bin/fuzz_*; do targets+=("${binary##*/fuzz_}"); done
else
  [ -x "$BUILD/bin/fuzz_$TARGET" ] || { echo "fuzz.sh: no target '$TARGET'" >&2; exit 2; }
  targets=("$TARGET")
fi

status=0
for t in "${targets[@]}"; do
  log=$BUILD/fuzz-runs/$t.log
  mkdir -p "$BUILD/fuzz-runs"
  echo "== fuzz $t (${SECONDS_EACH}s${RUNS:+, $RUNS runs})"
  if FUZZ_KEEP_CORPUS=1 FUZZ_RUNS=$RUNS FUZZ_EXTRA=${FUZZ_EXTRA:--use_value_profile=1} \
    bash "$ROOT/tests/fuzz/run_fuzz_target.sh" "$BUILD/bin/fuzz_$t" "$t" "$BUILD/fuzz-seeds" "$BUILD/fuzz-runs" \
      "$SECONDS_EACH" >"$log" 2>&1; then
    result=clean
  else
    result="FINDING (see $log and $BUILD/fuzz-runs/$t/findings)"
    status=1
  fi
  # The last coverage line and the final statistics.
  coverage=$(grep -E '^#[0-9]+' "$log" | tail -1 | sed -E 's/.*(cov: [0-9]+ ft: [0-9]+ corp: [^ ]+).*/\1/')
  runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
  echo "   $result; executions: ${runs:-?}; $coverage"
done
exit $status
