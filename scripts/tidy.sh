#!/usr/bin/env bash
# Runs clang-tidy with the root .clang-tidy over the project's own sources and
# fails on any finding.
# Usage: tidy.sh [FOLDER...]   (every source folder by default)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang clang-tidy

# A clang build provides compile_commands.json and the files Qt generates.
cmake -S . -B build-tidy -DCMAKE_CXX_COMPILER=clang++ -DS2M_BUILD_FUZZ=ON >/dev/null
cmake --build build-tidy -j "$(nproc)" >/dev/null

folders=("$@")
[ "${#folders[@]}" -gt 0 ] || folders=(conversion ui app tests fuzz bench)
# Lints only what the Linux build compiles, which leaves out the Windows-only sources.
sed -n 's|^ *"file": "'"$PWD"'/\(.*\)",*$|\1|p' build-tidy/compile_commands.json | sort -u >build-tidy/compiled.txt
mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- "${folders[@]/%//*.cpp}" |
  grep -Ev '(_win32\.cpp$|(^|/)win32/)' | grep -Fx -f build-tidy/compiled.txt)
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$(nproc)" clang-tidy -p build-tidy --quiet --warnings-as-errors='*'
echo "clang-tidy: no findings in ${#sources[@]} files."
