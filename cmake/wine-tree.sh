#!/usr/bin/env bash
# wine-tree.sh [--bind DIR]... -- COMMAND [ARGS...]
# Runs COMMAND inside the Wine 10 tree that scripts/setup.sh prepares (a
# Debian 13 system under the set-up cache), as the calling user, in a mount
# namespace of its own: /dev, /proc, /sys, /tmp (where the X server's and
# Wine's sockets live) and each DIR appear at their usual paths, and nothing
# stays mounted when the last process inside ends. The working folder is kept
# when it is one of the DIRs (or below one).
#
# The environment inside is made afresh: PATH and LANG of the tree, HOME set to
# the folder that holds WINEPREFIX, and the caller's WINE*, DISPLAY,
# XAUTHORITY, BROWSER, KS_* and GTEST_* variables.
set -euo pipefail

cache=${KS_CACHE_ROOT:-/var/cache/tarvel-skin}
tree=${KS_WINE_TREE:-$cache/wine/current/tree}
if [ ! -x "$tree/usr/lib/wine/wine64" ]; then
  echo "wine-tree.sh: no Wine tree at $tree (run scripts/setup.sh)" >&2
  exit 125
fi
tree=$(cd "$tree" && pwd -P)

binds=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
  case $1 in
    --bind) binds+=("$(cd "$2" && pwd -P)"); shift 2 ;;
    *) echo "wine-tree.sh: unknown option $1" >&2; exit 2 ;;
  esac
done
[ "${1:-}" = -- ] && shift
[ $# -gt 0 ] || { echo "usage: wine-tree.sh [--bind DIR]... -- COMMAND [ARGS...]" >&2; exit 2; }

# A folder below another bound folder is there already.
mounts=()
for dir in "${binds[@]}"; do
  covered=0
  for other in "${binds[@]}"; do
    [ "$other" != "$dir" ] && [ "${dir#"$other"/}" != "$dir" ] && covered=1
  done
  [ "$dir" = /tmp ] || [ "${dir#/tmp/}" != "$dir" ] && covered=1
  [ $covered -eq 1 ] || mounts+=("$dir")
done

cwd=$(pwd -P)
inside_cwd=/
for dir in "${binds[@]}" /tmp; do
  if [ "$cwd" = "$dir" ] || [ "${cwd#"$dir"/}" != "$cwd" ]; then inside_cwd=$cwd; fi
done

vars=(PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8)
if [ -n "${WINEPREFIX:-}" ]; then vars+=("HOME=$(dirname "$WINEPREFIX")"); else vars+=(HOME=/tmp); fi
while IFS= read -r name; do
  case $name in
    WINE*|KS_*|GTEST_*|DISPLAY|XAUTHORITY|BROWSER) [ -n "${!name}" ] && vars+=("$name=${!name}") ;;
  esac
done < <(compgen -e)

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo -n)

# shellcheck disable=SC2016
exec "${as_root[@]}" unshare -m -- /bin/sh -ec '
  t=$1 user=$2 cwd=$3 nmounts=$4; shift 4
  mount --rbind /dev "$t/dev"
  mount -t proc proc "$t/proc"
  mount --rbind /sys "$t/sys"
  mount --rbind /tmp "$t/tmp"
  while [ "$nmounts" -gt 0 ]; do
    mkdir -p "$t$1"
    mount --rbind "$1" "$t$1"
    shift; nmounts=$((nmounts - 1))
  done
  exec chroot --userspec="$user" "$t" /bin/sh -c "cd \"\$0\" && exec \"\$@\"" "$cwd" /usr/bin/env -i "$@"
' sh "$tree" "$(id -u):$(id -g)" "$inside_cwd" "${#mounts[@]}" "${mounts[@]}" "${vars[@]}" "$@"
