#!/bin/sh
# Runs a test program under Wine with a full disk under the wallpaper job: the
# partial bitmap that the job writes in the user's own folder ("Zorva The
# Vandrel.new" in the local application-data folder's "Desktop Quennel") is a
# link to /dev/full, so every write to it fails as it does on a full disk. The
# link goes again when the program ends.
# usage: tests/with_full_disk.sh PROGRAM [ARGS...]   (in the prefix of $WINEPREFIX, as $USER)
set -eu
folder="${WINEPREFIX:-$HOME/.wine}/drive_c/users/$USER/AppData/Local/Desktop Quennel"
mkdir -p "$folder"
link="$folder/Zorva The Vandrel.new"
rm -f "$link"
ln -s /dev/full "$link"
trap 'rm -f "$link"' EXIT
wine "$@"
