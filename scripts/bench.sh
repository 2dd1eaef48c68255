#!/usr/bin/env bash
# Builds the Linux and the Windows benchmark in Release, runs the Linux one on a
# generated export, then times the Windows conversion of that same export under
# Wine and prints the Windows/Linux time ratio.
# Usage: bench.sh [--lines N] [--small N] [--repeat R] [--dir PATH] [--keep] [--no-windows]
# The options but --no-windows go to the Linux benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."

lines=1000000
repeat=5
dir=
keep=0
windows=1
linux_args=()
while [ "$#" -gt 0 ]; do
  case "$1" in
    --lines) lines=$2; linux_args+=("$1" "$2"); shift 2 ;;
    --repeat) repeat=$2; linux_args+=("$1" "$2"); shift 2 ;;
    --small) linux_args+=("$1" "$2"); shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --no-windows) windows=0; shift ;;
    *) linux_args+=("$1"); shift ;;
  esac
done

bash scripts/deps.sh cmake make g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev
if [ "$windows" = 1 ]; then
  bash scripts/deps.sh g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64
fi

cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"
if [ "$windows" = 1 ]; then
  cmake --preset windows-bench >/dev/null
  cmake --build --preset windows-bench -j "$(nproc)"
fi

# Keeps the export for the Windows run; removes it afterwards unless asked to keep it.
own_dir=0
if [ -z "$dir" ]; then
  dir=$(mktemp -d "${TMPDIR:-/tmp}/s2m-bench-XXXXXX")
  own_dir=1
fi
mkdir -p "$dir"
dir=$(realpath "$dir")
if [ "$own_dir" = 1 ] && [ "$keep" = 0 ]; then
  trap 'rm -rf "$dir"' EXIT
fi
log="$dir/linux.txt"
build/bench/bench/convert_bench "${linux_args[@]}" --dir "$dir" | tee "$log"
[ "$windows" = 1 ] || exit 0

echo
echo "Windows under Wine, the same export, best of $repeat runs in one process (median after it):"
export WINEDEBUG=-all WINEPREFIX="$PWD/build/windows-bench/wineprefix"
win_log="$dir/windows.txt"
# Wine shows the Linux root as drive Z:.
wine build/windows-bench/bench/convert_bench_windows.exe --dir "Z:${dir//\//\\}" \
  --lines "$lines" --repeat "$repeat" | tr -d '\r' >"$win_log"
linux_core=$(awk '/^  conversion, core /{print $3}' "$log")
linux_copy=$(awk '/^  plain copy /{print $3}' "$log")
awk -v core="$linux_core" -v copy="$linux_copy" '
  $1 == "copy" { printf "  %-34s %7.3f (%6.3f)   %5.2f x the Linux copy\n", "copy with flush", $3, $5, $3 / copy }
  $1 == "core" { printf "  %-34s %7.3f (%6.3f)   %5.2f x the Linux core\n", "conversion, core", $3, $5, $3 / core; w = $3 }
  $1 == "ns/call" { printf "  ns per call of %-24s %7s\n", $2, $3 }
  END {
    printf "\nGoal:\n  %-40s %7.2f x (limit 1.5 x) %s\n", "Windows core time / Linux core time",
           w / core, w / core <= 1.5 ? "met" : "MISSED"
  }' "$win_log"
