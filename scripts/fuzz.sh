#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs them for a bounded time: the line
# conversion, then the whole-file conversion.
# Usage: fuzz.sh [SECONDS]   (60 by default, shared by the two targets).
# Each target grows a copy of its seed corpus fuzz/corpus/KIND in build/fuzz/corpus/KIND, so
# the source tree stays as it is; a finding lands in build/fuzz/findings/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh needs clang: apt-get install clang libclang-rt-14-dev" >&2
  exit 1
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

findings=build/fuzz/findings
mkdir -p "$findings"
run() {  # run KIND SECONDS
  local target=convert_$1_fuzzer corpus=build/fuzz/corpus/$1
  mkdir -p "$corpus"
  cp fuzz/corpus/"$1"/* "$corpus"/
  echo "Fuzzing $target for $2 s"
  if ! "build/fuzz/fuzz/$target" -max_total_time="$2" -max_len=4096 -dict=fuzz/convert_line.dict \
    -artifact_prefix="$findings/$target-" -print_final_stats=1 "$corpus"; then
    echo "$target found an input that breaks the conversion; it is in $findings/." >&2
    echo "Copy it into fuzz/findings/ so that ctest replays it on every test run." >&2
    exit 1
  fi
}
run line $(((seconds + 1) / 2))
run file $((seconds / 2))
