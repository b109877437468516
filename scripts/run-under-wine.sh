#!/bin/bash
# Runs a command with its own X server and its own copy of a Wine prefix, and
# returns the command's exit code.
# usage: scripts/run-under-wine.sh BASE_PREFIX DEPTH COMMAND [ARGS...]   (DEPTH: 8, 16 or 24)
set -eu
base=$(realpath "$1"); depth=$2; shift 2
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" QUENNEL_WINE_BASE=$base
cp -a "$base" "$WINEPREFIX"
# The prefix's own user (scripts/wine-prefix.sh), whose profile folder it has.
[ -s "$base/quennel-user" ] && export USER="$(cat "$base/quennel-user")"
Xvfb -displayfd 3 -screen 0 1024x768x"$depth" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display")
wineserver -p                     # one wineserver for the whole run ...
wine wineboot >/dev/null 2>&1     # ... with its services started away from our stdout and stderr
set +e
"$@"
