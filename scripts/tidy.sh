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
mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- "${folders[@]/%//*.cpp}")
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$(nproc)" clang-tidy -p build-tidy --quiet --warnings-as-errors='*'
echo "clang-tidy: no findings in ${#sources[@]} files."
