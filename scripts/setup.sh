#!/usr/bin/env bash
# Prepares a Debian 12 machine for building and testing:
#  - installs the host packages;
#  - cross-builds the libraries the Windows targets link against;
#  - prepares Wine 10 (Debian 13's) in a tree of its own, with the 32-bit
#    Windows DLLs beside the 64-bit ones so that one loader runs both targets,
#    and a ready Wine prefix to copy from.
# Everything lands in a cache outside the repository, keyed by target and
# version. Idempotent: a second run only checks and returns. Two runs never
# interleave (they take a lock).
set -euo pipefail

CACHE_ROOT=${KS_CACHE_ROOT:-/var/cache/tarvel-skin}
DEPS_ROOT="$CACHE_ROOT/deps"
SRC_ROOT="$CACHE_ROOT/src"
WINE_ROOT="$CACHE_ROOT/wine"
TARGETS=(x86_64-w64-mingw32 i686-w64-mingw32)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

PACKAGES=(
  build-essential cmake ninja-build pkg-config dpkg-dev ccache
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev nasm
  debootstrap xvfb xauth xdg-utils imagemagick x11-utils python3
  zlib1g-dev libpng-dev libjpeg-dev libpugixml-dev libgtest-dev libgmock-dev
  libbenchmark-dev libpixman-1-dev
  clang libclang-rt-14-dev
  nsis
)
# The Debian source packages cross-built for the Windows targets.
SOURCE_PACKAGES=(libpng1.6 libjpeg-turbo pugixml googletest)
# A newest source version that could not be downloaded is tried again after
# this many seconds (meanwhile an older one that is built serves).
RETRY_NEWEST_AFTER=$((6 * 3600))

# The Wine tree: Debian 13 with Wine from its archive.
WINE_SUITE=trixie
WINE_MIRROR=${KS_WINE_MIRROR:-http://deb.debian.org/debian}
WINE_PACKAGES=(
  wine64 libwine fonts-wine fonts-wqy-microhei fonts-liberation xdg-utils
  libxcomposite1 libxcursor1 libxfixes3 libxi6 libxinerama1 libxrandr2 libxrender1 libxxf86vm1
)
# The archive is asked for a newer Wine at most this often.
WINE_CHECK_EVERY=$((24 * 3600))
# Fonts that Windows programs ask for by name and that must show Chinese:
# they link to the CJK font, as on a Chinese Windows.
FONTLINK_FACES=("MS Sans Serif" "Tahoma" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2")
FONTLINK_TARGET='wqy-microhei.ttc,WenQuanYi Micro Hei'

log() { printf '[setup] %s\n' "$*" >&2; }

now() { printf '%(%s)T\n' -1; }

# younger_than FILE SECONDS: FILE holds a time (from `now`) less than SECONDS ago.
younger_than() {
  local t
  [ -f "$1" ] && read -r t <"$1" && [ -n "$t" ] && [ $(( $(now) - t )) -lt "$2" ]
}

as_root() {
  if [ "$EUID" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# retry N COMMAND...: runs COMMAND up to N times, pausing a little longer
# after each failure (downloads fail now and then).
retry() {
  local tries=$1 n=1
  shift
  until "$@"; do
    [ "$n" -lt "$tries" ] || return 1
    log "attempt $n of '$1' failed, retrying"
    sleep $((n * 5))
    n=$((n + 1))
  done
}

# (A loaded machine starts processes slowly: the checks a second run makes use
# few of them.)
missing_packages() {
  local -A installed=()
  local name want ok state
  while read -r name want ok state; do
    [ "$want $ok $state" = "install ok installed" ] && installed[${name%%:*}]=1
  done < <(dpkg-query -W -f='${Package} ${Status}\n' "${PACKAGES[@]}" 2>/dev/null)
  local p
  for p in "${PACKAGES[@]}"; do
    [ -n "${installed[$p]:-}" ] || echo "$p"
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

APT_OPTS=(-q -o Acquire::Retries=3)
apt_updated=0
apt_update() {
  if [ "$apt_updated" -eq 0 ]; then
    retry 3 as_root apt-get update "${APT_OPTS[@]}" >&2
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
    retry 2 as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "${APT_OPTS[@]}" $missing >&2
  fi
}

# --- cross-built libraries ----------------------------------------------------

# "package version" lines for every version of the source packages that the
# archive lists, newest first.
all_source_versions() {
  apt-cache showsrc "${SOURCE_PACKAGES[@]}" 2>/dev/null |
    awk '/^Package:/ {p = $2} /^Version:/ {print p, $2}' | sort -u | sort -k1,1 -k2,2Vr
}

toolchain_file() {
  echo "$here/cmake/toolchain-$1.cmake"
}

# fetch_source PKG VERSION: the unpacked source in $SRC_ROOT/PKG-VERSION/tree.
# It is unpacked beside and renamed into place, so an interrupted run never
# leaves a tree that looks complete. Returns 2 when the archive cannot deliver.
fetch_source() {
  local pkg=$1 version=$2
  local srcdir="$SRC_ROOT/$pkg-$version"
  [ -d "$srcdir/tree" ] && return 0
  log "fetching source $pkg $version"
  mkdir -p "$SRC_ROOT"
  local tmp
  tmp=$(mktemp -d "$SRC_ROOT/.fetch-$pkg.XXXXXX")
  if ! (cd "$tmp" && retry 3 apt-get source --download-only "${APT_OPTS[@]}" "$pkg=$version" >/dev/null 2>&1); then
    rm -rf "$tmp"
    return 2
  fi
  if ! (cd "$tmp" && dpkg-source --no-check -x ./*.dsc tree >/dev/null 2>&1); then
    rm -rf "$tmp"
    log "could not unpack $pkg $version"
    return 1
  fi
  rm -rf "$srcdir"
  mv "$tmp" "$srcdir"
}

cross_build() {
  local pkg=$1 target=$2 version=$3
  local prefix="$DEPS_ROOT/$target"
  local srcdir="$SRC_ROOT/$pkg-$version"
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
  # Only the version installed last is current: the older stamps go.
  mkdir -p "$prefix/stamps"
  rm -f "$prefix/stamps/$pkg"-[0-9]*
  touch "$prefix/stamps/$pkg-$version"
  rm -rf "$build"
}

# The newest version the archive lists is built when it can be downloaded.
# When it cannot (a listed security update sometimes is not downloadable yet),
# an older one serves, and the newest is tried again on a later run.
ensure_library() {
  local pkg=$1 target=$2 versions=$3
  local newest=${versions%%$'\n'*} version marker rc
  [ -f "$DEPS_ROOT/$target/stamps/$pkg-$newest" ] && return 0
  marker="$CACHE_ROOT/unavailable/$pkg-$newest"
  if younger_than "$marker" "$RETRY_NEWEST_AFTER" && compgen -G "$DEPS_ROOT/$target/stamps/$pkg-*" >/dev/null; then
    return 0
  fi
  for version in $versions; do
    rc=0
    fetch_source "$pkg" "$version" || rc=$?
    if [ "$rc" -eq 0 ]; then
      [ "$version" = "$newest" ] && rm -f "$marker"
      [ -f "$DEPS_ROOT/$target/stamps/$pkg-$version" ] || cross_build "$pkg" "$target" "$version"
      return
    fi
    [ "$rc" -eq 2 ] || return "$rc"
    log "source $pkg $version is not downloadable, trying an older one"
    mkdir -p "$CACHE_ROOT/unavailable" && now >"$CACHE_ROOT/unavailable/$pkg-$version"
  done
  log "could not fetch any source of $pkg"
  return 1
}

ensure_libraries() {
  local listed pkg version target
  listed=$(all_source_versions)
  local -A versions=()
  while read -r pkg version; do
    [ -n "$pkg" ] && versions[$pkg]+="$version"$'\n'
  done <<<"$listed"
  if [ "${#versions[@]}" -lt "${#SOURCE_PACKAGES[@]}" ]; then
    apt_update
    versions=()
    while read -r pkg version; do
      [ -n "$pkg" ] && versions[$pkg]+="$version"$'\n'
    done < <(all_source_versions)
  fi
  for pkg in "${SOURCE_PACKAGES[@]}"; do
    [ -n "${versions[$pkg]:-}" ] || { log "no source package $pkg"; exit 1; }
    for target in "${TARGETS[@]}"; do
      ensure_library "$pkg" "$target" "${versions[$pkg]%$'\n'}"
    done
  done
}

# --- Wine 10 --------------------------------------------------------------------
# $WINE_ROOT/<version>/tree    Debian 13 (minbase) with Wine and the fonts
# $WINE_ROOT/<version>/prefix  a prefix made by that Wine, copied per test run
# $WINE_ROOT/<version>/version the Wine package version
# $WINE_ROOT/current           -> the version in use
# Each is built beside and renamed into place when complete.

# in_tree TREE COMMAND...: runs COMMAND as root inside TREE, in a mount
# namespace of its own (nothing stays mounted).
in_tree() {
  local tree=$1
  shift
  as_root unshare -m -- /bin/sh -ec '
    t=$1; shift
    mount -t proc proc "$t/proc"
    mount --rbind /dev "$t/dev"
    mount --rbind /sys "$t/sys"
    exec chroot "$t" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
      DEBIAN_FRONTEND=noninteractive "$@"' sh "$tree" "$@"
}

wine_tree_version() {
  in_tree "$1" dpkg-query -W -f='${Version}' wine64
}

# Strips the debugging sections from Wine's Windows-format DLLs and programs:
# they are most of the tree's size and are never read.
strip_pe_files() {
  local dir=$1 strip=$2
  find "$dir" -type f ! -name '*.a' -print0 | xargs -0 -r -n 64 -P "$(nproc)" "$strip" --strip-debug 2>/dev/null || true
}

build_wine_tree() {
  local work=$1
  local tree="$work/tree"
  log "building the Wine tree ($WINE_SUITE) in $work"
  retry 3 as_root debootstrap --variant=minbase "$WINE_SUITE" "$tree" "$WINE_MIRROR" >"$work/debootstrap.log" 2>&1 ||
    { tail -20 "$work/debootstrap.log" >&2; as_root rm -rf "$tree"; return 1; }
  log "installing Wine into the tree"
  retry 3 in_tree "$tree" apt-get install -y "${APT_OPTS[@]}" --no-install-recommends "${WINE_PACKAGES[@]}" \
    >"$work/install.log" 2>&1 || { tail -20 "$work/install.log" >&2; return 1; }
  local version
  version=$(wine_tree_version "$tree")
  # The 32-bit Windows DLLs come from the i386 build of the same version,
  # downloaded only: the 64-bit loader runs 32-bit programs in-process once
  # they are there, and no 32-bit Linux code is needed.
  log "adding Wine $version's 32-bit Windows DLLs"
  in_tree "$tree" dpkg --add-architecture i386
  retry 3 in_tree "$tree" apt-get update "${APT_OPTS[@]}" >"$work/update.log" 2>&1 ||
    { tail -20 "$work/update.log" >&2; return 1; }
  retry 3 in_tree "$tree" sh -c "cd /tmp && apt-get download ${APT_OPTS[*]} libwine:i386=$version" \
    >"$work/download.log" 2>&1 || { tail -20 "$work/download.log" >&2; return 1; }
  local deb unpacked="$work/libwine-i386"
  deb=$(ls "$tree"/tmp/libwine_*_i386.deb)
  mkdir -p "$unpacked"
  dpkg-deb -x "$deb" "$unpacked"
  as_root cp -a "$unpacked/usr/lib/i386-linux-gnu/wine/i386-windows" "$tree/usr/lib/x86_64-linux-gnu/wine/"
  as_root rm -rf "$unpacked" "$deb"
  in_tree "$tree" dpkg --remove-architecture i386 || true
  in_tree "$tree" apt-get clean
  log "stripping Wine's Windows DLLs"
  strip_pe_files "$tree/usr/lib/x86_64-linux-gnu/wine/x86_64-windows" x86_64-w64-mingw32-strip
  strip_pe_files "$tree/usr/lib/x86_64-linux-gnu/wine/i386-windows" i686-w64-mingw32-strip
  [ -x "$tree/usr/lib/wine/wine64" ] || { log "the tree has no /usr/lib/wine/wine64"; return 1; }
  echo "$version" >"$work/version"
}

# The prefix every test run copies: made once by the tree's Wine, with the
# CJK font linked to the faces programs ask for.
build_wine_prefix() {
  local work=$1
  log "creating the Wine prefix"
  local prefix="$work/prefix"
  rm -rf "$prefix"
  # A batch file keeps the quoting Windows' own.
  local face
  for face in "${FONTLINK_FACES[@]}"; do
    printf 'reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink" /v "%s" /t REG_MULTI_SZ /d "%s" /f\r\n' \
      "$face" "$FONTLINK_TARGET"
  done >"$work/fontlink.bat"
  (cd "$work" && KS_WINE_TREE="$work/tree" WINEPREFIX="$prefix" DISPLAY='' \
    "$here/cmake/wine-tree.sh" --bind "$work" -- /bin/sh -c '
      /usr/lib/wine/wine64 wineboot -i >wineboot.log 2>&1
      /usr/lib/wine/wine64 cmd /c fontlink.bat >reg.log 2>&1
      wineserver=/usr/lib/wine/wineserver64
      [ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
      "$wineserver" -w')
  [ -f "$prefix/system.reg" ] || { log "wineboot did not create the prefix"; cat "$work/wineboot.log" >&2; return 1; }
  [ "$(grep -c "=str(7):\"$FONTLINK_TARGET" "$prefix/system.reg")" -eq "${#FONTLINK_FACES[@]}" ] ||
    { log "the font links were not stored"; cat "$work/reg.log" >&2; return 1; }
  touch "$prefix/.ks-ready"
}

# Moves a complete build into place as the current Wine.
adopt_wine_build() {
  local work=$1 version key
  version=$(cat "$work/version")
  key=$(tr -c 'A-Za-z0-9.+_\n-' '_' <<<"$version")
  if [ -e "$WINE_ROOT/$key" ]; then
    as_root rm -rf "$WINE_ROOT/$key"
  fi
  mv "$work" "$WINE_ROOT/$key"
  ln -sfn "$key" "$WINE_ROOT/current.new" && mv -T "$WINE_ROOT/current.new" "$WINE_ROOT/current"
  now >"$WINE_ROOT/.checked"
  log "Wine $version ready in $WINE_ROOT/$key"
  # Trees of other versions are no longer used.
  local old
  for old in "$WINE_ROOT"/*; do
    [ -d "$old" ] && [ ! -L "$old" ] && [ "$(basename "$old")" != "$key" ] && as_root rm -rf "$old"
  done
  return 0
}

# The archive's Wine version for the tree's suite (asks the network).
archive_wine_version() {
  local tree=$1
  in_tree "$tree" apt-get update "${APT_OPTS[@]}" >/dev/null 2>&1 || return 1
  in_tree "$tree" apt-cache policy wine64 | awk '/Candidate:/ {print $2}'
}

ensure_wine() {
  mkdir -p "$WINE_ROOT"
  # Work folders of an interrupted run (runs never overlap: see the lock).
  if compgen -G "$WINE_ROOT/.build.*" >/dev/null; then as_root rm -rf "$WINE_ROOT"/.build.*; fi
  local current="$WINE_ROOT/current"
  if [ -f "$current/prefix/.ks-ready" ] && [ -f "$current/version" ]; then
    # Once a day: does the archive have a newer Wine?
    local checked="$WINE_ROOT/.checked"
    younger_than "$checked" "$WINE_CHECK_EVERY" && return 0
    local have newest
    have=$(cat "$current/version")
    newest=$(archive_wine_version "$current/tree" || true)
    now >"$checked"
    if [ -z "$newest" ] || [ "$newest" = "$have" ]; then
      return 0
    fi
    log "Wine $newest is available (have $have)"
  fi
  local work
  work=$(mktemp -d "$WINE_ROOT/.build.XXXXXX")
  chmod 755 "$work"
  if ! build_wine_tree "$work" || ! build_wine_prefix "$work"; then
    log "could not prepare Wine (work folder $work kept for inspection)"
    return 1
  fi
  adopt_wine_build "$work"
}

main() {
  [ -d "$CACHE_ROOT" ] || as_root mkdir -p "$CACHE_ROOT"
  [ -w "$CACHE_ROOT" ] || as_root chown "$(id -u):$(id -g)" "$CACHE_ROOT"
  # One set-up at a time: a second run waits for the first and then finds
  # everything done.
  exec 9>"$CACHE_ROOT/.setup.lock"
  if ! flock -n 9; then
    log "another set-up is running; waiting for it"
    flock 9
  fi
  install_packages
  if ensure_deb_src; then apt_updated=0; apt_update; fi
  ensure_libraries
  ensure_wine
}

main "$@"
