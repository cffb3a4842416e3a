# Sourced by the Wine scripts: runs Wine 10 from the set-up cache's tree (see
# wine-tree.sh) with the prefix and display of one state folder.
#   ks_wine_init STATE [DIR...]  exports WINEPREFIX and friends for STATE;
#                                DIRs are made visible inside besides the
#                                sources, STATE's parent and $KS_WINE_BINDS
#   ks_wine ARGS...              /usr/lib/wine/wine64 ARGS...
#   ks_wineserver ARGS...        the tree's wineserver
#   ks_wine_version              the tree's Wine package version
ks_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ks_cache=${KS_CACHE_ROOT:-/var/cache/tarvel-skin}
ks_wine_dir=$(cd "${KS_WINE_DIR:-$ks_cache/wine/current}" 2>/dev/null && pwd -P || echo "${KS_WINE_DIR:-$ks_cache/wine/current}")
export KS_WINE_TREE="$ks_wine_dir/tree"

ks_wine_init() {
  local state=$1 dir
  shift
  mkdir -p "$state"
  export WINEPREFIX="$state/prefix"
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko prompts, no menu entries in the user's desktop.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  ks_binds=(--bind "$(cd "$ks_here/.." && pwd)" --bind "$(cd "$state/.." && pwd)")
  for dir in "$@"; do ks_binds+=(--bind "$dir"); done
  if [ -n "${KS_WINE_BINDS:-}" ]; then
    local IFS=:
    for dir in $KS_WINE_BINDS; do ks_binds+=(--bind "$dir"); done
  fi
}

ks_wine() {
  "$ks_here/wine-tree.sh" "${ks_binds[@]}" -- /usr/lib/wine/wine64 "$@"
}

ks_wineserver() {
  local server=/usr/lib/wine/wineserver64
  [ -x "$KS_WINE_TREE$server" ] || server=/usr/lib/wine/wineserver
  "$ks_here/wine-tree.sh" "${ks_binds[@]}" -- "$server" "$@"
}

ks_wine_version() {
  cat "$ks_wine_dir/version" 2>/dev/null || echo unknown
}

# ks_wine_prefix: makes $WINEPREFIX a copy of the cached prefix of the tree in
# use, unless it already is one. Wine's programs and DLLs (most of its size)
# are hard links: Wine only reads them. Everything else (registry, ini files)
# is a real copy, as Wine rewrites those in place.
ks_wine_prefix() {
  local template="$ks_wine_dir/prefix"
  [ -f "$template/.ks-ready" ] || { echo "no Wine prefix at $template (run scripts/setup.sh)" >&2; return 1; }
  if [ "$(cat "$WINEPREFIX/.ks-from" 2>/dev/null)" = "$template" ]; then
    return 0
  fi
  rm -rf "$WINEPREFIX"
  cp -a --link "$template" "$WINEPREFIX" 2>/dev/null || { rm -rf "$WINEPREFIX"; cp -a "$template" "$WINEPREFIX"; }
  find "$WINEPREFIX" -type f -links +1 ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' \
      -o -iname '*.ocx' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.ax' -o -iname '*.tlb' -o -iname '*.ds' \
      -o -iname '*.nls' -o -iname '*.ttf' -o -iname '*.fon' \) \
    -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} +
  echo "$template" >"$WINEPREFIX/.ks-from"
}

# ks_is_pe32 FILE: FILE is a 32-bit (i386) Windows program.
ks_is_pe32() {
  local offset machine
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return 1
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  [ "$machine" = 014c ]
}

# ks_kernel_refuses_32bit: the kernel faults on 32-bit system calls (int 0x80),
# as some virtual machines' kernels do. Wine cannot run a 32-bit program there
# (it sets up the program's thread segment with one).
ks_kernel_refuses_32bit() {
  # (a second command keeps the subshell, which reports the crash, quiet)
  ! (python3 - <<'PY'; exit $?) >/dev/null 2>&1
import ctypes, mmap
# mov eax, 20 (getpid); int 0x80; ret
code = bytes([0xb8, 0x14, 0, 0, 0, 0xcd, 0x80, 0xc3])
page = mmap.mmap(-1, mmap.PAGESIZE, prot=mmap.PROT_READ | mmap.PROT_WRITE | mmap.PROT_EXEC)
page.write(code)
ctypes.CFUNCTYPE(ctypes.c_int)(ctypes.addressof(ctypes.c_char.from_buffer(page)))()
PY
}

# Exit code of a test that cannot run on this machine (ctest: SKIP_RETURN_CODE).
KS_SKIP_CODE=77
