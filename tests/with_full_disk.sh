#!/bin/sh
# Runs a test program under Wine with a full disk under the wallpaper job: the
# partial bitmap that the job writes in the Windows folder ("Zorva The
# Vandrel.new") is a link to /dev/full, so every write to it fails as it does
# on a full disk. The link goes again when the program ends.
# usage: tests/with_full_disk.sh PROGRAM [ARGS...]   (in the prefix of $WINEPREFIX)
set -eu
link="${WINEPREFIX:-$HOME/.wine}/drive_c/windows/Zorva The Vandrel.new"
rm -f "$link"
ln -s /dev/full "$link"
trap 'rm -f "$link"' EXIT
wine "$@"
