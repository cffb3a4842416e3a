#!/usr/bin/env bash
# Prepares a Debian 12 machine for building and testing: installs the packages
# and cross-builds the libraries the Windows targets link against into a cache
# outside the repository. Idempotent: a second run only checks and returns.
set -euo pipefail

CACHE_ROOT=${KS_CACHE_ROOT:-/var/cache/tarvel-skin}
DEPS_ROOT="$CACHE_ROOT/deps"
SRC_ROOT="$CACHE_ROOT/src"
TARGETS=(x86_64-w64-mingw32 i686-w64-mingw32)

PACKAGES=(
  build-essential cmake ninja-build pkg-config dpkg-dev ccache
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev nasm
  wine wine64 xvfb xauth xdg-utils imagemagick x11-utils fonts-wqy-microhei
  zlib1g-dev libpng-dev libjpeg-dev libpugixml-dev libgtest-dev libgmock-dev
  libbenchmark-dev libpixman-1-dev
  clang libclang-rt-14-dev
  nsis
)
# The Debian source packages cross-built for the Windows targets.
SOURCE_PACKAGES=(libpng1.6 libjpeg-turbo pugixml googletest)

log() { printf '[setup] %s\n' "$*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing_packages() {
  local p status
  for p in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || echo "$p"
  done
}

ensure_deb_src() {
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    log "adding deb-src entries"
    as_root tee /etc/apt/sources.list.d/tarvel-skin-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    return 0
  fi
  return 1
}

apt_updated=0
apt_update() {
  if [ "$apt_updated" -eq 0 ]; then
    as_root apt-get update -q >&2
    apt_updated=1
  fi
}

install_packages() {
  local missing
  missing=$(missing_packages)
  if [ -n "$missing" ]; then
    log "installing: $(echo $missing)"
    apt_update
    # shellcheck disable=SC2086
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing >&2
  fi
}

source_versions() {
  # Versions of a source package that the archive lists, newest first.
  apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/ {print $2}' | sort -V -r | uniq
}

toolchain_file() {
  local here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  echo "$here/cmake/toolchain-$1.cmake"
}

cross_build() {
  local pkg=$1 target=$2 version=$3
  local prefix="$DEPS_ROOT/$target"
  local stamp="$prefix/stamps/$pkg-$version"
  [ -f "$stamp" ] && return 0

  local srcdir="$SRC_ROOT/$pkg-$version"
  if [ ! -d "$srcdir/tree" ]; then
    log "fetching source $pkg $version"
    rm -rf "$srcdir" && mkdir -p "$srcdir"
    if ! (cd "$srcdir" && apt-get source --download-only -q "$pkg=$version" >/dev/null 2>&1 \
          && dpkg-source --no-check -x ./*.dsc tree >/dev/null 2>&1); then
      rm -rf "$srcdir"
      return 2
    fi
  fi

  log "cross-building $pkg $version for $target"
  local build="$CACHE_ROOT/build/$target/$pkg-$version"
  rm -rf "$build" && mkdir -p "$build"
  local args=(-G Ninja -S "$srcdir/tree" -B "$build"
    -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file "$target")"
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix"
    -DCMAKE_PREFIX_PATH="$prefix"
    -DBUILD_SHARED_LIBS=OFF)
  case $pkg in
    libpng1.6) args+=(-DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
                      -DPNG_HARDWARE_OPTIMIZATIONS=ON -DZLIB_USE_STATIC_LIBS=ON) ;;
    libjpeg-turbo) args+=(-DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF) ;;
    pugixml) args+=(-DPUGIXML_BUILD_TESTS=OFF) ;;
    googletest) args+=(-DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_force_shared_crt=ON) ;;
  esac
  cmake "${args[@]}" >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; return 1; }
  cmake --build "$build" -j"$(nproc)" >"$build/build.log" 2>&1 || { tail -50 "$build/build.log" >&2; return 1; }
  cmake --install "$build" >"$build/install.log" 2>&1 || { cat "$build/install.log" >&2; return 1; }
  mkdir -p "$prefix/stamps" && touch "$stamp"
  rm -rf "$build"
}

main() {
  install_packages
  if ensure_deb_src; then apt_updated=0; apt_update; fi
  as_root mkdir -p "$CACHE_ROOT"
  [ -w "$CACHE_ROOT" ] || as_root chown "$(id -u):$(id -g)" "$CACHE_ROOT"
  local pkg target version versions built rc
  for pkg in "${SOURCE_PACKAGES[@]}"; do
    versions=$(source_versions "$pkg")
    if [ -z "$versions" ]; then
      apt_update
      versions=$(source_versions "$pkg")
    fi
    [ -n "$versions" ] || { log "no source package $pkg"; exit 1; }
    for target in "${TARGETS[@]}"; do
      # A version already built for this target wins; otherwise the newest
      # version the archive can actually deliver (a listed security update is
      # sometimes not downloadable yet).
      built=
      for version in $versions; do
        if [ -f "$DEPS_ROOT/$target/stamps/$pkg-$version" ]; then built=$version; break; fi
      done
      [ -n "$built" ] && continue
      for version in $versions; do
        rc=0
        cross_build "$pkg" "$target" "$version" || rc=$?
        if [ "$rc" -eq 0 ]; then built=$version; break; fi
        [ "$rc" -eq 2 ] || exit "$rc"
        log "source $pkg $version is not downloadable, trying an older one"
      done
      [ -n "$built" ] || { log "could not fetch any source of $pkg"; exit 1; }
    done
  done
}

main "$@"
