#!/bin/bash
# Two accounts on one machine: two Wine prefixes, each with its own registry,
# user and profile folder, whose program folder is one Linux folder, as on a
# machine where two users share the installed program. Each user's Revert and
# "/r" put back that user's own settings, never the other's.
# usage: tests/accounts_test.sh SETUP DRIVER
#   (under scripts/run-under-wine.sh: $WINEPREFIX is the first user's prefix,
#   $QUENNEL_WINE_BASE the prefix it was copied from)
set -u
setup=$1 driver=$2
work=$(mktemp -d)
a=$WINEPREFIX b=$work/b
userA=$USER userB="Zo$(printf '\xc3\xab') Str$(printf '\xc3\xb6')m"
cleanup() {
  WINEPREFIX=$b wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp -a "$QUENNEL_WINE_BASE" "$b"
rm -f "$b/quennel-user"
# The second user's wineserver and services, away from ctest's pipes.
WINEPREFIX=$b USER=$userB wineserver -p
WINEPREFIX=$b USER=$userB wine wineboot >/dev/null 2>&1

name="Quennel $(printf '\xd0\xa2\xd0\xb5\xd0\xbc\xd0\xb0') $$"
mkdir -p "$work/shared"
ln -s "$work/shared" "$a/drive_c/$name"
ln -s "$work/shared" "$b/drive_c/$name"
program="C:\\$name\\DesktopQuennel.exe"

# The first user has run no Desktop Quennel before (an earlier test's files go).
rm -rf "$a/drive_c/users/$userA/AppData/Local/Desktop Quennel"

. "$(dirname "$0")/expect.sh"
# as USER_PREFIX USER COMMAND...: a command in that user's prefix.
as() { local prefix=$1 user=$2; shift 2; WINEPREFIX=$prefix USER=$user "$@"; }
get() { as "$1" "$2" wine "$driver" get "$3" "$4" | tr -d '\r'; }

# The installer runs for the machine: the same files, the theme folder in each
# prefix's control.ini and the art in each prefix's Windows folder.
# (The installer takes its folder unquoted, as the last argument.)
install="\"$(winepath -w "$setup" 2>/dev/null)\" /S /D=C:\\$name"
expect "install for the first user" "$(as "$a" "$userA" wine "$driver" exec "$install"; echo $?)" 0
expect "install for the second user" "$(as "$b" "$userB" wine "$driver" exec "$install"; echo $?)" 0

cursorA="C:\\users\\$userA\\Cursors\\a.cur"
cursorB="%SystemRoot%\\Cursors\\b.cur"
as "$a" "$userA" wine "$driver" set 'Control Panel\Colors' ActiveTitle '1 1 1'
as "$a" "$userA" wine "$driver" set 'Control Panel\Cursors' Arrow "$cursorA"
as "$b" "$userB" wine "$driver" set 'Control Panel\Colors' ActiveTitle '2 2 2'
as "$b" "$userB" wine "$driver" set 'Control Panel\Cursors' Arrow "$cursorB" expand

# The first user starts the program and closes it: that user's backup.
expect "first user's start" "$(as "$a" "$userA" wine "$driver" start-close "$program"; echo $?)" 0
# The second user applies BLUE, then reverts with "/r": the second user's own settings.
expect "second user's Apply of BLUE" "$(as "$b" "$userB" wine "$driver" press "$program" 103 1; echo $?)" 0
blue=$(tr -d '\r' <"$work/shared/Themes/Zorva The Vandrel BLUE.theme" | sed -n 's/^ActiveTitle=//p')
expect "second user's theme" "$(get "$b" "$userB" 'Control Panel\Colors' ActiveTitle)" "$blue"
expect "second user's /r" "$(as "$b" "$userB" wine "$driver" run "$program" /r; echo $?)" 1
expect "second user's colour after /r" "$(get "$b" "$userB" 'Control Panel\Colors' ActiveTitle)" "2 2 2"
expect "second user's cursor after /r" "$(get "$b" "$userB" 'Control Panel\Cursors' Arrow)" "$cursorB (REG_EXPAND_SZ)"
# The first user applies BLACK, then presses Revert: the first user's own settings.
expect "first user's Apply of BLACK" "$(as "$a" "$userA" wine "$driver" press "$program" 100 1; echo $?)" 0
expect "first user's Revert" "$(as "$a" "$userA" wine "$driver" press "$program" 121; echo $?)" 0
expect "first user's colour after Revert" "$(get "$a" "$userA" 'Control Panel\Colors' ActiveTitle)" "1 1 1"
expect "first user's cursor after Revert" "$(get "$a" "$userA" 'Control Panel\Cursors' Arrow)" "$cursorA"
# And the second user's settings stayed the second user's.
expect "second user's colour at the end" "$(get "$b" "$userB" 'Control Panel\Colors' ActiveTitle)" "2 2 2"
# No file of a user's own in the shared folder.
for f in ZorvaBackup.theme Restore.theme assertFile.txt "Zorva The Vandrel.BMP"; do
  expect "no $f in the program's folder" "$([ -e "$work/shared/$f" ] && echo there || echo none)" none
done
rm -f "$a/drive_c/$name"
exit $failed
