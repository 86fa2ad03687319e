#!/usr/bin/env bash
# Builds libpng and FreeType for the fuzz targets from the Debian source packages in the
# dependency cache (scripts/deps.sh fetches them), with clang's coverage instrumentation
# and AddressSanitizer, so that the fuzzer sees, and the sanitizer checks, the decoding
# the readers hand to them. UndefinedBehaviorSanitizer stays on the project's own code.
# Skipped when PREFIX already holds both.
#
# Usage: build_fuzz_libraries.sh PREFIX CACHE
set -euo pipefail
PREFIX=$1 CACHE=$2
JOBS=${QUARLO_JOBS:-$(nproc 2>/dev/null || echo 2)}
[ -f "$PREFIX/.built" ] && exit 0
for source in "$CACHE/src/libpng/CMakeLists.txt" "$CACHE/src/freetype/CMakeLists.txt"; do
  [ -f "$source" ] || { echo "build_fuzz_libraries: $source is missing (run scripts/deps.sh)" >&2; exit 1; }
done
GENERATOR=()
command -v ninja >/dev/null && GENERATOR=(-G Ninja)
FLAGS="-fsanitize=fuzzer-no-link,address -fno-omit-frame-pointer -g -O1"
work=$PREFIX.build
rm -rf "$work" "$PREFIX"
build() { # name, source, cmake options...
  local name=$1 source=$2
  shift 2
  CC=clang CFLAGS="$FLAGS" cmake -S "$source" -B "$work/$name" "${GENERATOR[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" "$@" >"$work/$name.log" 2>&1 &&
    cmake --build "$work/$name" -j "$JOBS" >>"$work/$name.log" 2>&1 &&
    cmake --install "$work/$name" >>"$work/$name.log" 2>&1 ||
    { tail -30 "$work/$name.log" >&2; exit 1; }
}
mkdir -p "$work"
echo "build_fuzz_libraries: libpng and FreeType with coverage and ASan" >&2
build libpng "$CACHE/src/libpng" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
build freetype "$CACHE/src/freetype" -DBUILD_SHARED_LIBS=OFF -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON \
  -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
rm -rf "$work"
touch "$PREFIX/.built"
