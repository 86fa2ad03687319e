#!/usr/bin/env bash
# Configures and builds the trees under build/:
#   build/native   the portable core, its tests and the content tools (writes data/)
#   build/asan     the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   build/windows  Quarlo.exe, the backend DLLs and the Windows tests, with data/
# Usage: build.sh [native|asan|windows|all ...]   (default: native windows)
# Dependencies must be in place (scripts/deps.sh).
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${QUARLO_JOBS:-$(nproc 2>/dev/null || echo 2)}
# Where scripts/deps.sh keeps the Windows dependencies and the source packages (pngsuite
# comes from libpng's); several checkouts may share one.
CACHE=${QUARLO_CACHE:-$ROOT/.cache}
GENERATOR=()
command -v ninja >/dev/null && GENERATOR=(-G Ninja)

configure_and_build() { # name, extra cmake args...
  local name=$1
  shift
  local dir=$ROOT/build/$name
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$dir" "${GENERATOR[@]}" "$@" >/dev/null
  else
    cmake "$dir" "$@" >/dev/null
  fi
  cmake --build "$dir" -j "$JOBS"
}

targets=("$@")
((${#targets[@]})) || targets=(native windows)
for t in "${targets[@]}"; do
  case "$t" in
    native) configure_and_build native -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARLO_CACHE_DIR="$CACHE" ;;
    asan) configure_and_build asan -DCMAKE_BUILD_TYPE=Debug -DQUARLO_SANITIZE=ON -DQUARLO_CACHE_DIR="$CACHE" ;;
    windows)
      data=$ROOT/build/native/data
      [ -d "$data" ] || data=
      configure_and_build windows -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARLO_DATA_DIR="$data" -DQUARLO_CACHE_DIR="$CACHE" ;;
    all) "$0" native asan windows ;;
    *) echo "build.sh: unknown tree '$t'" >&2; exit 2 ;;
  esac
done
