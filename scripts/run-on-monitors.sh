#!/bin/bash
# Runs a command under Wine on several monitors, with its own X servers and its
# own copy of a Wine prefix, and returns the command's exit code. Wine's
# virtual desktop is always one monitor, so the copy runs without it: the host
# is an Xvfb, and inside it a Xephyr with Xinerama shows one screen a monitor,
# laid side by side from left to right, the first the primary. Wine reads
# Xinerama through the 32-bit libXinerama (libxinerama1:i386).
# usage: scripts/run-on-monitors.sh BASE_PREFIX DEPTH WxH[,WxH...] [--windows VERSION] COMMAND [ARGS...]
#        (DEPTH: 8, 16 or 24; VERSION, the version of Windows that Wine tells programs: win7, win10, ...)
set -eu
base=$(realpath "$1"); depth=$2; sizes=$3; shift 3
version=
if [ "${1:-}" = --windows ]; then version=$2; shift 2; fi
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" QUENNEL_WINE_BASE=$base
cp -a "$base" "$WINEPREFIX"
[ -s "$base/quennel-user" ] && export USER="$(cat "$base/quennel-user")"
# No virtual desktop: the value that names it goes from the copy's registry
# before its first process starts.
sed -i '/^\[Software\\\\Wine\\\\Explorer\]/,/^$/{/^"Desktop"=/d}' "$WINEPREFIX/user.reg"

screens=() width=0 height=0
IFS=, read -r -a list <<<"$sizes"
for size in "${list[@]}"; do
  w=${size%x*} h=${size#*x}
  screens+=(-screen "${w}x${h}x${depth}")
  width=$((width + w)); [ "$h" -gt "$height" ] && height=$h
done

xvfb= xephyr=
cleanup() {
  wineserver -k 2>/dev/null || true
  for p in $xephyr $xvfb; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT
# Waits for a server started with -displayfd to write its display's number to $1.
ready() {
  for _ in $(seq 200); do [ -s "$1" ] && return 0; sleep 0.05; done
  echo "$2 did not start" >&2; cat "$work/$2.log" >&2; exit 1
}
Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp 3>"$work/host" >"$work/Xvfb.log" 2>&1 &
xvfb=$!
ready "$work/host" Xvfb
DISPLAY=:$(cat "$work/host") Xephyr -displayfd 3 +xinerama "${screens[@]}" -nolisten tcp \
  3>"$work/display" >"$work/Xephyr.log" 2>&1 &
xephyr=$!
ready "$work/display" Xephyr
export DISPLAY=:$(cat "$work/display")
wineserver -p                     # one wineserver for the whole run ...
wine wineboot >/dev/null 2>&1     # ... with its services started away from our stdout and stderr
[ -z "$version" ] || wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
set +e
"$@"
