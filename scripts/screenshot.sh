#!/usr/bin/env bash
# Opens the window on a virtual screen and saves a picture of it as docs/window.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh cmake make g++ qt6-base-dev xvfb xauth x11-utils imagemagick
cmake --preset run >/dev/null
cmake --build --preset run -j "$(nproc)"
mkdir -p docs

xvfb-run -a -s "-screen 0 800x600x24 -dpi 96" bash -c '
  set -euo pipefail
  title="From SWISSLOG exported in CVS to MARIGOLD.TXT"
  build/run/app/swisslog-to-marigold &
  program=$!
  trap "kill $program 2>/dev/null || true" EXIT
  for _ in $(seq 100); do
    id=$(xwininfo -root -tree | awk -v t="\"$title\":" "index(\$0, t) { print \$1; exit }")
    [ -n "$id" ] && break
    sleep 0.1
  done
  if [ -z "$id" ]; then echo "The window did not appear." >&2; exit 1; fi
  sleep 1
  import -window "$id" docs/window.png
'
echo "Saved docs/window.png"
