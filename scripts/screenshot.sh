#!/usr/bin/env bash
# Opens the window on a virtual screen and saves a picture of it as docs/window.png,
# and one of the message a click on START shows without an export beside the
# program as docs/missing-export.png.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh cmake make g++ qt6-base-dev xvfb xauth x11-utils imagemagick xdotool
cmake --preset run >/dev/null
cmake --build --preset run -j "$(nproc)"
mkdir -p docs
# A folder of the program's own with no export in it.
own=build/screenshot/Marigold
rm -rf "$own"
mkdir -p "$own"
cp build/run/app/swisslog-to-marigold "$own/"

xvfb-run -a -s "-screen 0 800x600x24 -dpi 96" bash -c '
  set -euo pipefail
  # Prints the id of the window titled $1 once it is up; fails when it does not come.
  window() {
    for _ in $(seq 100); do
      id=$(xwininfo -root -tree | awk -v t="\"$1\":" "index(\$0, t) { print \$1; exit }")
      [ -n "$id" ] && echo "$id" && return
      sleep 0.1
    done
    echo "The window \"$1\" did not appear." >&2
    return 1
  }
  # Starts the program in folder $1 and saves its window as $2; with $3, clicks
  # START and saves the message as $3.
  shoot() {
    "$1/swisslog-to-marigold" &
    program=$!
    trap "kill $program 2>/dev/null || true" EXIT
    id=$(window "From SWISSLOG exported in CVS to MARIGOLD.TXT")
    sleep 1
    import -window "$id" "$2"
    if [ -n "${3:-}" ]; then
      xdotool windowfocus "$id" key space
      box=$(window swisslog-to-marigold)
      sleep 1
      import -window "$box" "$3"
    fi
    kill "$program"
    wait "$program" || true
  }
  shoot build/run/app docs/window.png
  shoot "$2" "$1/window.png" docs/missing-export.png
' shot "$PWD/build/screenshot" "$own"
echo "Saved docs/window.png, docs/missing-export.png"
