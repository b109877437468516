#!/bin/sh
# Makes a 32-bit Wine prefix with a virtual desktop, for tests to copy. Its
# user is named outside any one ANSI code page, as many real users are: Wine
# names the profile folder after $USER, so every path of the user's own files
# has such letters. scripts/run-under-wine.sh runs the prefix as the same user.
# usage: scripts/wine-prefix.sh DIR [WIDTHxHEIGHT]
set -e
mkdir -p "$(dirname "$1")"
export WINEPREFIX="$(realpath -m "$1")" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export USER="${QUENNEL_WINE_USER:-Łukasz 田中}"
unset DISPLAY
rm -rf "$WINEPREFIX" "$WINEPREFIX.tmp"
WINEPREFIX="$WINEPREFIX.tmp" wineboot -i >/dev/null 2>&1
export WINEPREFIX="$WINEPREFIX.tmp"
# Tahoma, MS Sans Serif and Marlett: without them Wine measures and draws with other fonts.
cp -r /usr/share/wine/fonts/. "$WINEPREFIX/drive_c/windows/Fonts/"
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${2:-800x600}" /f >/dev/null 2>&1
wineserver -w
printf '%s\n' "$USER" >"$WINEPREFIX/quennel-user"
mv "$WINEPREFIX" "${WINEPREFIX%.tmp}"
