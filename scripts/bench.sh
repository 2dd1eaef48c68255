#!/usr/bin/env bash
# Builds the Linux and the Windows benchmark in Release, runs the Linux one on a
# generated export, then times the Windows conversion of that same export under
# Wine and prints the Windows/Linux time ratio. The Linux one times the window
# against the job's limit too: the same output written to a temporary name,
# flushed, renamed and the folder flushed, each run begun with every file on
# the device; and it samples the page cache (/proc/meminfo) during each run.
# Usage: bench.sh [--lines N] [--small N] [--repeat R] [--dir PATH] [--keep] [--no-windows]
#        bench.sh --instructions [--lines N] [--top K] [--dir PATH] [--keep]
# The options but --no-windows go to the Linux benchmark. --instructions instead
# counts with callgrind the instructions one conversion through the core takes
# (100,000 lines by default), for the whole run and for its top K functions
# (15 by default), each per line: exact counts, comparable from run to run;
# then the whole run again on the same export with its columns shuffled.
set -euo pipefail
cd "$(dirname "$0")/.."

lines=1000000
lines_given=0
repeat=5
dir=
keep=0
windows=1
instructions=0
top=15
linux_args=()
while [ "$#" -gt 0 ]; do
  case "$1" in
    --lines) lines=$2; lines_given=1; linux_args+=("$1" "$2"); shift 2 ;;
    --instructions) instructions=1; shift ;;
    --top) top=$2; shift 2 ;;
    --repeat) repeat=$2; linux_args+=("$1" "$2"); shift 2 ;;
    --small) linux_args+=("$1" "$2"); shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --no-windows) windows=0; shift ;;
    *) linux_args+=("$1"); shift ;;
  esac
done

# Keeps the exports; removes them afterwards unless asked to keep them.
own_dir=0
make_dir() {
  if [ -z "$dir" ]; then
    dir=$(mktemp -d "${TMPDIR:-/tmp}/s2m-bench-XXXXXX")
    own_dir=1
  fi
  mkdir -p "$dir"
  dir=$(realpath "$dir")
  if [ "$own_dir" = 1 ] && [ "$keep" = 0 ]; then
    trap 'rm -rf "$dir"' EXIT
  fi
}

if [ "$instructions" = 1 ]; then
  [ "$lines_given" = 1 ] || lines=100000
  bash scripts/deps.sh cmake make g++ valgrind
  # Builds the benchmark in Release, as the timed runs do.
  cmake --preset bench >/dev/null
  cmake --build --preset bench -j "$(nproc)"
  make_dir
  bench=build/bench/bench/convert_bench
  "$bench" --export-only --dir "$dir" --lines "$lines"
  out="$dir/callgrind.out"
  valgrind --tool=callgrind --callgrind-out-file="$out" "$bench" --once --dir "$dir" \
    --lines "$lines" 2>"$dir/callgrind.log" || { cat "$dir/callgrind.log" >&2; exit 1; }
  # Prints the top functions of callgrind_annotate's table, instructions a line,
  # by name without parameters: self cost, or with callees when $1 is yes, then
  # only the core's own functions.
  per_line() {
    callgrind_annotate --inclusive="$1" --threshold=100 "$out" 2>/dev/null |
      awk -v lines="$lines" -v top="$top" -v core="$1" '
        /file:function/ { table = 1; next }
        table && /^ *[0-9,]+ / && shown < top {
          ir = $1; gsub(",", "", ir)
          name = $0; sub(/^ *[0-9,]+ +(\([^)]*\) +)?/, "", name)
          sub(/^[^:]*:/, "", name); sub(/ \[[^]]*\]$/, "", name)
          gsub(/\(anonymous namespace\)::/, "", name)
          # Keeps the name up to its parameters, its template arguments shortened.
          short = ""; depth = 0
          for (i = 1; i <= length(name); i++) {
            c = substr(name, i, 1)
            if (c == "(" && depth == 0) break
            if (c == "<" && depth++ == 0) short = short "<...>"
            if (depth == 0) short = short c
            if (c == ">") depth--
          }
          name = short
          # Drops a return type written before the name.
          if (match(name, / conversion::/)) name = substr(name, RSTART + 1)
          if (core == "yes" && name !~ /^conversion::/) next
          printf "  %9.1f  %s\n", ir / lines, name; shown++
        }'
  }
  total=$(callgrind_annotate "$out" 2>/dev/null | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')
  echo "Instructions (callgrind) converting $lines lines once through the core:"
  awk -v total="$total" -v lines="$lines" \
    'BEGIN { printf "  %.0f in all, %.1f a line\n", total, total / lines }'
  echo
  echo "Top functions, instructions a line, self:"
  per_line no
  echo
  echo "Top functions, instructions a line, with what they call:"
  per_line yes
  # Counts the same export again with its columns shuffled, found by their names.
  "$bench" --export-only --shuffled --dir "$dir/shuffled" --lines "$lines"
  valgrind --tool=callgrind --callgrind-out-file="$dir/shuffled.out" "$bench" --once \
    --dir "$dir/shuffled" --lines "$lines" 2>"$dir/callgrind.log" ||
    { cat "$dir/callgrind.log" >&2; exit 1; }
  shuffled=$(callgrind_annotate "$dir/shuffled.out" 2>/dev/null |
    awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')
  echo
  echo "The same export, its columns shuffled and found by their names:"
  awk -v total="$shuffled" -v lines="$lines" -v info="$total" \
    'BEGIN { printf "  %.0f in all, %.1f a line, %.3f times INFO'"'"'s order\n", total, total / lines, total / info }'
  [ "$own_dir" = 0 ] || [ "$keep" = 0 ] || echo "Files kept in $dir"
  exit 0
fi

bash scripts/deps.sh cmake make g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev
if [ "$windows" = 1 ]; then
  bash scripts/deps.sh g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 xvfb xauth
fi

cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"
if [ "$windows" = 1 ]; then
  cmake --preset windows-bench >/dev/null
  cmake --build --preset windows-bench -j "$(nproc)"
fi

make_dir
log="$dir/linux.txt"
build/bench/bench/convert_bench "${linux_args[@]}" --dir "$dir" | tee "$log"
[ "$windows" = 1 ] || exit 0

echo
echo "Windows under Wine, the same export, best of $repeat runs in one process (median after it):"
export WINEDEBUG=-all WINEPREFIX="$PWD/build/windows-bench/wineprefix"
win_log="$dir/windows.txt"
# Wine shows the Linux root as drive Z:; the window needs a display, a virtual one.
xvfb-run -a -s "-screen 0 1280x1024x24" \
  wine build/windows-bench/bench/convert_bench_windows.exe --dir "Z:${dir//\//\\}" \
  --lines "$lines" --repeat "$repeat" | tr -d '\r' >"$win_log"
linux_core=$(awk '/^  conversion, core /{print $3}' "$log")
linux_window=$(awk '/^  conversion, window /{print $3}' "$log")
linux_copy=$(awk '/^  plain copy /{print $3}' "$log")
awk -v core="$linux_core" -v window="$linux_window" -v copy="$linux_copy" '
  $1 == "copy" { printf "  %-34s %7.3f (%6.3f)   %5.2f x the Linux copy\n", "copy with flush", $3, $5, $3 / copy }
  $1 == "core" { printf "  %-34s %7.3f (%6.3f)   %5.2f x the Linux core\n", "conversion, core", $3, $5, $3 / core; w = $3 }
  $1 == "window" { printf "  %-34s %7.3f (%6.3f)   %5.2f x the Linux window\n", "START to the closing message", $3, $5, $3 / window; v = $3 }
  $1 == "ns/call" { printf "  ns per call of %-24s %7s\n", $2, $3 }
  END {
    printf "\nGoals:\n  %-40s %7.2f x (limit 1.5 x) %s\n", "Windows core time / Linux core time",
           w / core, w / core <= 1.5 ? "met" : "MISSED"
    printf "  %-40s %7.2f x (limit 1.5 x) %s\n", "Windows window time / Linux window time",
           v / window, v / window <= 1.5 ? "met" : "MISSED"
  }' "$win_log"
