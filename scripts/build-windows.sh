#!/usr/bin/env bash
# Cross-builds the self-contained Windows program in Release, checks that it
# imports only Windows' own DLLs and carries its protections, and writes
# dist/swisslog-to-marigold-windows-x64.zip with the program, its read-me, its
# licence and the notices of the code it holds from others,
# and beside it the zip's SHA-256 in dist/swisslog-to-marigold-windows-x64.zip.sha256.
# The zip comes out the same, byte for byte, from any copy of one commit: the
# entries' times are SOURCE_DATE_EPOCH, the commit's time unless the caller sets it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-lib.sh
s2m_windows_deps

# Takes the version from the project() call of CMakeLists.txt, where it is written once.
version=$(sed -n 's/^project(swisslog-to-marigold VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "CMakeLists.txt names no version in its project() call." >&2
  exit 1
fi

source_commit=$(s2m_source_commit)
read -r commit commit_time <<<"$source_commit"
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$commit_time}"
if ! [[ "$SOURCE_DATE_EPOCH" =~ ^[0-9]+$ ]]; then
  echo "SOURCE_DATE_EPOCH is \"$SOURCE_DATE_EPOCH\", not a count of seconds since 1970." >&2
  exit 1
fi
# Keeps options a caller's environment would give zip out of the zip.
unset ZIPOPT ZIP

cmake --preset windows
cmake --build --preset windows --target swisslog-to-marigold -j "$(nproc)"
exe=$(s2m_windows_exe)
s2m_check_dll_imports "$exe"
s2m_check_hardening "$exe"

# Names the Debian package of each tool that shapes the zip's bytes, with its version.
tool_versions() {
  local package version
  for package in g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev zip cmake; do
    version=$(dpkg-query -W -f='${Version}' "$package")
    printf '    %-28s %s\n' "$package" "$version"
  done
}

# Prints the read-me's closing part: where the zip comes from.
provenance() {
  echo
  echo "Where this zip comes from"
  echo "-------------------------"
  echo
  echo "Commit: $commit"
  echo "Time:   $(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S') UTC (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH)"
  if [[ "$commit" == *-dirty ]]; then
    echo "The source held changes that are in no commit: no one can rebuild this zip."
  fi
  echo
  echo "Built on Debian with these packages:"
  echo
  tool_versions
}

# Packs the program beside its read-me, licence and notices, with CR LF line
# ends, as Windows editors expect; the linker has stripped the symbols already.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/swisslog-to-marigold.exe"
{ sed "s/@VERSION@/$version/g" scripts/windows-readme.txt; provenance; } | sed 's/\r*$/\r/' >"$stage/README.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/LICENSE.txt"
sed 's/\r*$/\r/' THIRD-PARTY-NOTICES.txt >"$stage/THIRD-PARTY-NOTICES.txt"
entries=(swisslog-to-marigold.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt)
# Gives each entry a fixed mode and the time SOURCE_DATE_EPOCH, which zip stores
# as local time in 2-second steps; -X leaves out owners and the exact times.
chmod 0755 "$stage/swisslog-to-marigold.exe"
chmod 0644 "$stage/README.txt" "$stage/LICENSE.txt" "$stage/THIRD-PARTY-NOTICES.txt"
(cd "$stage" && TZ=UTC touch -d "@$SOURCE_DATE_EPOCH" "${entries[@]}")
mkdir -p dist
zipfile=dist/swisslog-to-marigold-windows-x64.zip
rm -f "$zipfile"
(cd "$stage" && TZ=UTC zip -q -X -9 "$OLDPWD/$zipfile" "${entries[@]}")
unzip -l "$zipfile"
# Fails unless the zip holds its licence and a read-me that names this version.
unzip -p "$zipfile" LICENSE.txt | grep "MIT License" >/dev/null || { echo "$zipfile holds no MIT LICENSE.txt" >&2; exit 1; }
unzip -p "$zipfile" README.txt | grep "^Version $version" >/dev/null || { echo "$zipfile: README.txt does not name version $version" >&2; exit 1; }
# Names the zip without a folder, as sha256sum -c beside it reads it; the
# digits compare by eye with PowerShell's Get-FileHash, which writes capitals.
(cd dist && sha256sum "$(basename "$zipfile")" >"$(basename "$zipfile").sha256")
(cd dist && sha256sum -c "$(basename "$zipfile").sha256")
echo "Written: $zipfile $zipfile.sha256"
