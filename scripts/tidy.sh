#!/usr/bin/env bash
# Runs clang-tidy with the root .clang-tidy over the project's own sources and
# fails on any finding.
# Usage: tidy.sh [--windows] [FOLDER...]   (every source folder by default)
#   --windows  also lints the Windows-only sources against the windows preset's
#              build, for the mingw-w64 target.
set -euo pipefail
cd "$(dirname "$0")/.."
windows=0
if [ "${1:-}" = --windows ]; then
  windows=1
  shift
fi
bash scripts/deps.sh clang clang-tidy

# A clang build provides compile_commands.json and the files Qt generates.
cmake --preset tidy >/dev/null
cmake --build --preset tidy -j "$(nproc)" >/dev/null

folders=("$@")
[ "${#folders[@]}" -gt 0 ] || folders=(conversion ui app tests fuzz bench)

# Prints the project's sources among FOLDERS that the build in BUILD_DIR compiles.
compiled_sources() {
  sed -n 's|^ *"file": "'"$PWD"'/\(.*\)",*$|\1|p' "$1/compile_commands.json" | sort -u >"$1/compiled.txt"
  # Looks at the folders themselves, so that a tree without git, such as one
  # unpacked from an archive, is linted as well.
  # Leaves out what a generator writes (generated/ folders): its generator is the source.
  find "${folders[@]}" -name '*.cpp' -type f ! -path '*/generated/*' | sort |
    grep -Fx -f "$1/compiled.txt" || true
}

# Lints only what the Linux build compiles, which leaves out the Windows-only sources.
mapfile -t sources < <(compiled_sources build/tidy)
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$(nproc)" clang-tidy -p build/tidy --quiet --warnings-as-errors='*'
echo "clang-tidy: no findings in ${#sources[@]} files."

if [ "$windows" = 1 ]; then
  cmake --preset windows >/dev/null
  # Gives clang the mingw-w64 C++ library headers the cross compiler uses.
  gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
  cxx=$gcc_dir/include/c++
  mapfile -t windows_sources < <(compiled_sources build/windows | grep -Fvx -f build/tidy/compiled.txt)
  [ "${#windows_sources[@]}" -eq 0 ] ||
    printf '%s\0' "${windows_sources[@]}" |
    xargs -0 -n 1 -P "$(nproc)" clang-tidy -p build/windows --quiet --warnings-as-errors='*' \
      --extra-arg=--target=x86_64-w64-mingw32 --extra-arg=-nostdinc++ \
      "--extra-arg=-isystem$cxx" "--extra-arg=-isystem$cxx/x86_64-w64-mingw32" "--extra-arg=-isystem$cxx/backward"
  echo "clang-tidy: no findings in ${#windows_sources[@]} Windows-only files."
fi
