#!/usr/bin/env bash
# Builds the program, puts a sample export beside it when none is there, and opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."
# Drops the current folder from PATH, where bash puts it when it starts with
# none (env -i): cmake would take the project's cmake/ folder for its own.
PATH=$(printf '%s\n' "$PATH" | tr ':' '\n' | grep -vx -e '.' -e '' | paste -sd: -)
export PATH

bash scripts/deps.sh cmake make g++ qt6-base-dev
cmake --preset run >/dev/null
cmake --build --preset run -j "$(nproc)"

program_dir=build/run/app
if [ ! -e "$program_dir/LOG.CSV" ]; then
  cp scripts/sample_export.csv "$program_dir/LOG.CSV"
  echo "Placed a sample export at $program_dir/LOG.CSV"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open the window on: the program is built in $program_dir; start it from a desktop session." >&2
  exit 1
fi
exec "$program_dir/swisslog-to-marigold"
