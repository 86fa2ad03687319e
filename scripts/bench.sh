#!/usr/bin/env bash
# Benchmarks the engine's readers, font atlas, text layout and start-up against the
# libraries a developer would pick instead, and prints one table of ratios (engine
# time / peer time, lower is better) with the machine's description:
#   1. builds an optimised native tree, build/bench (Release, with the benchmarks);
#   2. runs each benchmark program at low priority, its pairs interleaved at random,
#      repeated, keeping the medians;
#   3. builds the game in build/windows and times its start-up under Wine, from
#      process start (Wine already up) to the first frame of its loop, per backend;
#   4. prints the table and writes it, dated, into its section of docs/performance.md.
# Not part of the tests. Environment:
#   QUARLO_BENCH_REPETITIONS  repetitions of each benchmark (default 5)
#   QUARLO_BENCH_STARTUP_RUNS starts of the game per backend (default 5)
#   QUARLO_BENCH_STARTUP      0 leaves out the start-up under Wine
#   QUARLO_BENCH_DOC          the file to write the section into (default docs/performance.md)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CACHE=${QUARLO_CACHE:-$ROOT/.cache}
JOBS=${QUARLO_JOBS:-2}
REPETITIONS=${QUARLO_BENCH_REPETITIONS:-5}
STARTUP_RUNS=${QUARLO_BENCH_STARTUP_RUNS:-5}
DOC=${QUARLO_BENCH_DOC:-$ROOT/docs/performance.md}
BENCH=$ROOT/build/bench
WINDOWS=$ROOT/build/windows
RESULTS=$BENCH/results
GENERATOR=()
command -v ninja >/dev/null && GENERATOR=(-G Ninja)

log() { printf 'bench: %s\n' "$*" >&2; }

"$ROOT/scripts/deps.sh" >/dev/null

# ---- 1. the optimised native tree and the data folder its benchmarks read
log "building $BENCH (Release)"
if [ ! -f "$BENCH/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BENCH" "${GENERATOR[@]}" -DCMAKE_BUILD_TYPE=Release -DQUARLO_BENCH=ON \
    -DQUARLO_CACHE_DIR="$CACHE" >/dev/null
fi
nice -n 10 cmake --build "$BENCH" -j "$JOBS" --target quarlo_bench_meshes quarlo_bench_images quarlo_bench_text \
  quarlo_bench_table quarlo_data_folder >/dev/null

rm -rf "$RESULTS"
mkdir -p "$RESULTS" "$BENCH/generated"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

# ---- 2. the benchmark programs, one at a time
export QUARLO_BENCH_DATA=$BENCH/data
export QUARLO_BENCH_WORK=$BENCH/generated
export QUARLO_BENCH_PNGSUITE=$CACHE/src/libpng/contrib/pngsuite
export QUARLO_BENCH_ASSIMP_MODELS=/usr/share/assimp/models
for program in meshes images text; do
  log "running quarlo_bench_$program ($REPETITIONS repetitions, interleaved)"
  nice -n 10 "$BENCH/bin/quarlo_bench_$program" --benchmark_repetitions="$REPETITIONS" \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
    --benchmark_min_time=0.3 --benchmark_out="$RESULTS/$program.json" --benchmark_out_format=json \
    >"$RESULTS/$program.txt" 2>"$RESULTS/$program.log" || { cat "$RESULTS/$program.log" >&2; exit 1; }
done

# ---- 3. start-up of the real game under Wine
STARTUP=$RESULTS/startup.txt
: >"$STARTUP"
measure_startup() {
  local data=$ROOT/build/native/data
  [ -d "$data" ] || data=$BENCH/data
  log "building the game in $WINDOWS"
  if [ ! -f "$WINDOWS/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$WINDOWS" "${GENERATOR[@]}" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARLO_DATA_DIR="$data" -DQUARLO_CACHE_DIR="$CACHE" >/dev/null
  fi
  nice -n 10 cmake --build "$WINDOWS" -j "$JOBS" --target Quarlo VidPortOpenGL3_0 VidPortD3D12 quarlo_data \
    quarlo_startup_probe >/dev/null

  local bin=$WINDOWS/bin
  export WINEPREFIX=$WINDOWS/wineprefix WINEDEBUG=-all WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree,mshtml="
  . "$ROOT/scripts/lib/xvfb.sh"
  XVFB_PID=
  trap 'wineserver -k >/dev/null 2>&1; stop_private_xvfb' EXIT
  [ -n "${DISPLAY:-}" ] || start_private_xvfb
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # Wine up: a server kept alive for the whole run, and one start of the game whose
  # time is not kept (it fills the file cache and Wine's own start-up state).
  wineserver -p >/dev/null 2>&1
  local probe=(timeout --kill-after=10 300 wine "$bin/quarlo_startup_probe.exe" --timeout 60)
  (cd "$bin" && "${probe[@]}" Quarlo.exe >/dev/null 2>&1) || true

  # As scripts/frame-rate.sh counts them: a backend library is present when it exports
  # the interface. The default start (the Direct3D 12 library probed first, OpenGL as
  # the fallback) is timed too, as a player starts the game.
  local labels=("default start") args=("") backend library exports
  for backend in "OpenGL:VidPortOpenGL3_0.dll" "Direct3D 12:VidPortD3D12.dll"; do
    library=${backend#*:}
    # (The export table is read whole first: grep -q closing the pipe early would make
    # objdump fail, and the pipeline with it.)
    exports=$(x86_64-w64-mingw32-objdump -p "$bin/$library" 2>/dev/null || true)
    if grep -q '\binitRenderer\b' <<<"$exports"; then
      labels+=("${backend%%:*}, forced")
      args+=("-forceRenderBackend $library")
    else
      printf 'startup|%s|absent\n' "${backend%%:*} (the library exports no interface)" >>"$STARTUP"
    fi
  done
  local runs=$STARTUP_RUNS i r out ms window second frame
  declare -A times windows frames
  for ((r = 0; r < runs; ++r)); do
    for i in "${!labels[@]}"; do
      # shellcheck disable=SC2086
      out=$(cd "$bin" && "${probe[@]}" Quarlo.exe ${args[$i]} 2>/dev/null) || true
      ms=$(printf '%s\n' "$out" | sed -n 's/^startup_ms: //p')
      window=$(printf '%s\n' "$out" | sed -n 's/^window_ms: //p')
      second=$(printf '%s\n' "$out" | sed -n 's/^second_frame_ms: //p')
      [ -n "$ms" ] && [ "$ms" != -1.0 ] || ms=inf
      [ -n "$window" ] && [ "$window" != -1.0 ] || window=inf
      frame=inf
      [ "$ms" = inf ] || [ -z "$second" ] || [ "$second" = -1.0 ] || frame=$(awk -v a="$ms" -v b="$second" 'BEGIN { print b - a }')
      times[$i]="${times[$i]:-} $ms"
      windows[$i]="${windows[$i]:-} $window"
      frames[$i]="${frames[$i]:-} $frame"
    done
  done
  for i in "${!labels[@]}"; do
    # The medians of the runs, a run without a frame (or window) counting as the
    # slowest; -1 for a start that gave no frame in most runs.
    ms=$(printf '%s\n' ${times[$i]} | sort -g | sed -n "$(((runs + 1) / 2))p")
    window=$(printf '%s\n' ${windows[$i]} | sort -g | sed -n "$(((runs + 1) / 2))p")
    frame=$(printf '%s\n' ${frames[$i]} | sort -g | sed -n "$(((runs + 1) / 2))p")
    [ "$ms" != inf ] || ms=-1
    if [ "$window" != inf ]; then
      window=$(awk -v w="$window" 'BEGIN { printf "window after %.2f s", w / 1000 }')
    else
      window="no window"
    fi
    [ "$frame" = inf ] || window="$window, $(awk -v f="$frame" 'BEGIN { printf "the next frame %.2f s later", f / 1000 }')"
    printf 'startup|%s (%s)|%s\n' "${labels[$i]}" "$window" "$ms" >>"$STARTUP"
  done
  wineserver -k >/dev/null 2>&1 || true
  stop_private_xvfb
  trap - EXIT
}
if [ "${QUARLO_BENCH_STARTUP:-1}" != 0 ]; then
  measure_startup
fi

# ---- 4. the table
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
memory=$(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo)
machine="$cpu, $(nproc) cores, $memory; $(. /etc/os-release && echo "$PRETTY_NAME"), kernel $(uname -r)"
[ "${QUARLO_BENCH_STARTUP:-1}" = 0 ] || machine="$machine; $(wine --version 2>/dev/null || echo 'no Wine')"
TABLE=$RESULTS/table.md
"$BENCH/bin/quarlo_bench_table" --startup "$STARTUP" "$RESULTS"/meshes.json "$RESULTS"/images.json \
  "$RESULTS"/text.json >"$TABLE"

SECTION=$RESULTS/section.md
{
  echo "## Readers, fonts and start-up against peer libraries"
  echo
  echo "Measured by \`scripts/bench.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'): $machine."
  echo "Load average $load_before before the run and $load_after after it (other work shared the machine)."
  echo "Times are the median CPU time of $REPETITIONS repetitions, each pair interleaved at random in one"
  echo "process; \"engine / peer\" is the engine's time over the peer's (lower is better). Start-up is"
  echo "the median of $STARTUP_RUNS starts under Wine with Wine already up, from process creation to the first"
  echo "frame of the game's loop presented (in brackets: to its window's creation, and how long the"
  echo "frame after the first took, about what drawing the first one cost)."
  echo
  cat "$TABLE"
} >"$SECTION"
cat "$SECTION"

# The section sits between two markers; the rest of the file is left as it is.
START_MARK='<!-- bench.sh: start -->'
END_MARK='<!-- bench.sh: end -->'
mkdir -p "$(dirname "$DOC")"
[ -f "$DOC" ] || printf '# Performance\n' >"$DOC"
if ! grep -qF "$START_MARK" "$DOC"; then
  printf '\n%s\n%s\n' "$START_MARK" "$END_MARK" >>"$DOC"
fi
awk -v start="$START_MARK" -v end="$END_MARK" -v section="$SECTION" '
  $0 == start { print; while ((getline line < section) > 0) print line; skipping = 1; next }
  $0 == end { skipping = 0 }
  !skipping { print }
' "$DOC" >"$DOC.new" && mv "$DOC.new" "$DOC"
log "table written to ${DOC#$ROOT/}"
