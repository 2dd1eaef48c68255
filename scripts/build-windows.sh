#!/usr/bin/env bash
# Cross-builds the self-contained Windows program in Release, checks that it
# imports only Windows' own DLLs and writes
# dist/swisslog-to-marigold-windows-x64.zip with the program and its read-me,
# and beside it the zip's SHA-256 in dist/swisslog-to-marigold-windows-x64.zip.sha256.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-lib.sh
s2m_windows_deps

cmake --preset windows
cmake --build --preset windows --target swisslog-to-marigold -j "$(nproc)"
exe=$(s2m_windows_exe)
s2m_check_dll_imports "$exe"

# Packs the program beside a read-me with CR LF line ends, as Windows editors expect.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/swisslog-to-marigold.exe"
# Drops the symbol table, which a user has no use for; the resources stay.
x86_64-w64-mingw32-strip "$stage/swisslog-to-marigold.exe"
sed 's/\r*$/\r/' scripts/windows-readme.txt >"$stage/README.txt"
mkdir -p dist
zipfile=dist/swisslog-to-marigold-windows-x64.zip
rm -f "$zipfile"
(cd "$stage" && zip -q -X -9 "$OLDPWD/$zipfile" swisslog-to-marigold.exe README.txt)
unzip -l "$zipfile"
# Names the zip without a folder, as sha256sum -c beside it reads it; the
# digits compare by eye with PowerShell's Get-FileHash, which writes capitals.
(cd dist && sha256sum "$(basename "$zipfile")" >"$(basename "$zipfile").sha256")
(cd dist && sha256sum -c "$(basename "$zipfile").sha256")
echo "Written: $zipfile $zipfile.sha256"
