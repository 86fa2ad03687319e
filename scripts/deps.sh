#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build and test Quarlo:
#   1. installs the missing Debian packages (apt-get, as root or through sudo);
#   2. builds the Windows-only dependencies (FreeType, libpng from Debian's source
#      packages; GoogleTest from /usr/src/googletest) once, into an ignored cache.
# Safe to run again: each step is skipped when its result is already there.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CACHE=${QUARLO_CACHE:-$ROOT/.cache}
PREFIX=$CACHE/mingw-prefix
SRC=$CACHE/src
TOOLCHAIN=$ROOT/cmake/mingw-w64-x86_64.cmake
JOBS=$(nproc 2>/dev/null || echo 2)

PACKAGES=(
  # toolchains and build
  cmake make g++ pkg-config g++-mingw-w64-x86-64-posix mingw-w64-tools
  # running and testing Windows binaries
  wine wine64 xvfb xauth x11-utils xdotool mesa-vulkan-drivers libgl1-mesa-dri libvulkan1
  # libraries
  libz-mingw-w64-dev rapidjson-dev libfreetype-dev libpng-dev libgtest-dev googletest
  # the benchmarks and the peer libraries they compare against (scripts/bench.sh)
  libbenchmark-dev libstb-dev
  # test assets and tools
  assimp-testmodels libassimp-dev imagemagick
  # fonts shipped in the data folder
  fonts-lato fonts-open-sans
  # fetching source packages
  ca-certificates xz-utils
)

log() { printf 'deps: %s\n' "$*" >&2; }

install_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  log "installing ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" != 0 ]; then
    command -v sudo >/dev/null || { log "need root to install: ${missing[*]}"; exit 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
}

# The machine's own Debian mirror and keyring, read from its apt configuration so that
# no registry host is written into this repository: the URI and Signed-By of the first
# stanza of debian.sources that lists the bookworm suite.
DEBIAN_SOURCES=${QUARLO_DEBIAN_SOURCES:-/etc/apt/sources.list.d/debian.sources}
debian_mirror() { # field: URIs or Signed-By
  awk -v want="$1" '
    /^[[:space:]]*$/ { if (bookworm && value != "") { print value; found = 1; exit } bookworm = 0; value = ""; next }
    /^[[:space:]]*#/ { next }
    $1 == "Suites:" { for (i = 2; i <= NF; i++) if ($i == "bookworm") bookworm = 1 }
    $1 == want ":" { value = $2 }
    END { if (!found && bookworm && value != "") print value }
  ' "$DEBIAN_SOURCES"
}

require_mirror() {
  [ -r "$DEBIAN_SOURCES" ] || { log "cannot read $DEBIAN_SOURCES: no Debian mirror to take"; exit 1; }
  MIRROR_URI=$(debian_mirror URIs)
  MIRROR_KEYRING=$(debian_mirror Signed-By)
  [ -n "$MIRROR_URI" ] || { log "no bookworm URIs in $DEBIAN_SOURCES"; exit 1; }
}

# Wine's Direct3D 12 needs the lavapipe of bookworm-backports (bookworm's own lacks
# descriptor indexing, and every descriptor-table bind then fails). The suite is
# enabled through an apt source of the project's own, on the machine's mirror; only
# the Vulkan drivers (and the libdrm they need) are taken from it.
BACKPORTS_LIST=/etc/apt/sources.list.d/quarlo-bookworm-backports.sources
install_backports_vulkan() {
  local version
  version=$(dpkg-query -W -f='${Version}' mesa-vulkan-drivers 2>/dev/null || true)
  if [ -n "$version" ] && dpkg --compare-versions "$version" ge 25; then return 0; fi
  require_mirror
  local sudo=()
  [ "$(id -u)" = 0 ] || sudo=(sudo)
  log "installing mesa-vulkan-drivers from bookworm-backports"
  {
    echo "Types: deb"
    echo "URIs: $MIRROR_URI"
    echo "Suites: bookworm-backports"
    echo "Components: main"
    [ -z "$MIRROR_KEYRING" ] || echo "Signed-By: $MIRROR_KEYRING"
  } | "${sudo[@]}" tee "$BACKPORTS_LIST" >/dev/null
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq -t bookworm-backports \
    mesa-vulkan-drivers libdrm2 libdrm-amdgpu1 >/dev/null
}

# Debian's source packages, fetched with a private source list so the system's apt
# configuration is left alone.
fetch_sources() {
  [ -f "$SRC/.fetched" ] && return 0
  require_mirror
  log "fetching FreeType and libpng source packages"
  mkdir -p "$SRC/lists/partial" "$SRC/download"
  echo "deb-src${MIRROR_KEYRING:+ [signed-by=$MIRROR_KEYRING]} $MIRROR_URI bookworm main" >"$SRC/sources.list"
  local opts=(-o "Dir::Etc::SourceList=$SRC/sources.list" -o Dir::Etc::SourceParts=/dev/null
              -o "Dir::State::Lists=$SRC/lists" -o Dir::Cache=/tmp/quarlo-apt-cache -o APT::Sandbox::User=root)
  apt-get -qq "${opts[@]}" update
  (cd "$SRC/download" && apt-get -qq "${opts[@]}" source --download-only freetype libpng1.6)
  rm -rf "$SRC/freetype" "$SRC/libpng"
  mkdir -p "$SRC/freetype" "$SRC/libpng"
  tar -xf "$(ls "$SRC"/download/freetype_*.orig.tar.xz)" -C "$SRC/freetype" --strip-components=1
  tar -xf "$(ls "$SRC"/download/libpng1.6_*.orig.tar.gz)" -C "$SRC/libpng" --strip-components=1
  touch "$SRC/.fetched"
}

cmake_build() { # source dir, build dir, extra cmake args...
  local src=$1 bld=$2
  shift 2
  cmake -S "$src" -B "$bld" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=OFF "$@" >"$bld.log" 2>&1 ||
    { cat "$bld.log"; return 1; }
  cmake --build "$bld" -j "$JOBS" >>"$bld.log" 2>&1 && cmake --install "$bld" >>"$bld.log" 2>&1 ||
    { tail -50 "$bld.log"; return 1; }
}

build_windows_deps() {
  mkdir -p "$PREFIX/include" "$CACHE/build"
  if [ ! -f "$PREFIX/.freetype-system-zlib" ]; then
    # FreeType's gzip support is built on the same MinGW zlib that libpng uses: with
    # FreeType's bundled copy instead, both define inflate* and a program that links
    # FreeType and libpng fails to link.
    log "building FreeType for Windows"
    rm -rf "$CACHE/build/freetype"
    cmake_build "$SRC/freetype" "$CACHE/build/freetype" -DFT_REQUIRE_ZLIB=ON \
      -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
      -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
    touch "$PREFIX/.freetype-system-zlib"
  fi
  if [ ! -f "$PREFIX/.libpng" ]; then
    log "building libpng for Windows"
    cmake_build "$SRC/libpng" "$CACHE/build/libpng" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
      -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
      -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include
    touch "$PREFIX/.libpng"
  fi
  if [ ! -f "$PREFIX/.googletest" ]; then
    log "building GoogleTest for Windows"
    cmake_build /usr/src/googletest "$CACHE/build/googletest" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
      -Dgtest_force_shared_crt=OFF
    touch "$PREFIX/.googletest"
  fi
  # RapidJSON is header-only; the cross build sees it through the prefix so that
  # /usr/include (the Linux headers) never lands on its include path.
  ln -sfn /usr/include/rapidjson "$PREFIX/include/rapidjson"
}

install_packages
install_backports_vulkan
fetch_sources
build_windows_deps
echo "$PREFIX"
