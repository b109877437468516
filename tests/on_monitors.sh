#!/bin/sh
# Runs a test program under Wine on several monitors (scripts/run-on-monitors.sh),
# in a copy of the prefix that the run around it was made from.
# usage: tests/on_monitors.sh DEPTH WxH[,WxH...] WINDOWS_VERSION PROGRAM [ARGS...]
#        (under scripts/run-under-wine.sh, which names the prefix in $QUENNEL_WINE_BASE)
set -eu
depth=$1 sizes=$2 version=$3
shift 3
exec "$(dirname "$0")/../scripts/run-on-monitors.sh" "${QUENNEL_WINE_BASE:?run under scripts/run-under-wine.sh}" \
  "$depth" "$sizes" --windows "$version" wine "$@"
