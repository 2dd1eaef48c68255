#!/usr/bin/env bash
# Builds the program, puts a sample export beside it when none is there, and opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh cmake make g++ qt6-base-dev
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DS2M_BUILD_TESTS=OFF -DS2M_BUILD_BENCH=OFF >/dev/null
cmake --build build-run -j "$(nproc)"

program_dir=build-run/app
if [ ! -e "$program_dir/LOG.CSV" ]; then
  cp scripts/sample_export.csv "$program_dir/LOG.CSV"
  echo "Placed a sample export at $program_dir/LOG.CSV"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open the window on: the program is built in $program_dir; start it from a desktop session." >&2
  exit 1
fi
exec "$program_dir/swisslog-to-marigold"
