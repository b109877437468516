#!/bin/sh
# Runs a test program under Wine on a disk with room for the user's backups and
# not for a wallpaper bitmap: a small memory file system (160 KB) mounted over
# the user's own folder ("Desktop Quennel" in the local application-data
# folder) for as long as the program runs. Mounting needs root, as the tests'
# machine runs them.
# usage: tests/with_full_disk.sh PROGRAM [ARGS...]   (in the prefix of $WINEPREFIX, as $USER)
set -eu
folder="${WINEPREFIX:-$HOME/.wine}/drive_c/users/$USER/AppData/Local/Desktop Quennel"
mkdir -p "$folder"
if ! mount -t tmpfs -o size=160k tmpfs "$folder"; then
  echo "with_full_disk.sh: cannot mount a small file system over $folder (run as root)" >&2
  exit 1
fi
trap 'umount -l "$folder"' EXIT
wine "$@"
