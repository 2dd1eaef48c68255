#!/bin/sh
# Creates the Wine prefix the Windows tests run in and writes STAMP when it is ready.
# Usage: wine-prefix.sh WINE PREFIX STAMP
set -eu
wine=$1
export WINEDEBUG=-all WINEPREFIX="$2"
mkdir -p "$WINEPREFIX"
"$wine" wineboot -i >/dev/null 2>&1
# Reports as Windows 10, the oldest system the program supports.
"$wine" winecfg -v win10
# Ends a crashing program with a failure code at once instead of handing it to winedbg, which
# may wait for ever or exit with 0.
"$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null
# Waits until the server has written the registry to disk.
wineserver -w
touch "$3"
