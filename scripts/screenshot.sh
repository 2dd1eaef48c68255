#!/usr/bin/env bash
# Opens the window on a virtual screen and saves a picture of it as docs/window.png;
# of the message a click on START shows without an export beside the program as
# docs/missing-export.png; of a FINISH with a notice, for an export that holds
# an empty line, as docs/finish-notice.png; and of INFO's message as docs/info.png.
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
# A folder with the sample export and an empty line in it, which FINISH notices.
finish=build/screenshot/Finish
rm -rf "$finish"
mkdir -p "$finish"
cp build/run/app/swisslog-to-marigold "$finish/"
{ head -n 3 scripts/sample_export.csv; echo; tail -n +4 scripts/sample_export.csv; } >"$finish/LOG.CSV"

xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -c '
  set -euo pipefail
  # Prints the id of the window titled $1 once it is shown; fails when it does
  # not come. Windows of that title that are not shown (the program'"'"'s group
  # leader bears its name) are passed over.
  window() {
    for _ in $(seq 100); do
      for id in $(xwininfo -root -tree | awk -v t="\"$1\":" "index(\$0, t) { print \$1 }"); do
        if xwininfo -id "$id" | grep -q "Map State: IsViewable"; then
          echo "$id"
          return
        fi
      done
      sleep 0.1
    done
    echo "The window \"$1\" did not appear." >&2
    return 1
  }
  # Starts the program in folder $1 and saves its window as $2; with $3, presses
  # the keys $4 (space: START, which has the focus; Tab space: INFO) and saves
  # the message titled $5 as $3.
  shoot() {
    "$1/swisslog-to-marigold" &
    program=$!
    trap "kill $program 2>/dev/null || true" EXIT
    id=$(window "From SWISSLOG exported in CVS to MARIGOLD.TXT")
    sleep 1
    import -window "$id" "$2"
    if [ -n "${3:-}" ]; then
      # shellcheck disable=SC2086  # the keys are words of their own
      xdotool windowfocus "$id" key ${4:-space}
      box=$(window "${5:-swisslog-to-marigold}")
      sleep 1
      import -window "$box" "$3"
    fi
    kill "$program"
    wait "$program" || true
  }
  shoot build/run/app docs/window.png
  shoot "$2" "$1/window.png" docs/missing-export.png
  shoot "$3" "$1/finish-window.png" docs/finish-notice.png
  shoot "$2" "$1/window.png" docs/info.png "Tab space" "MARIGOLD CVS FORMAT"
' shot "$PWD/build/screenshot" "$own" "$finish"
echo "Saved docs/window.png, docs/missing-export.png, docs/finish-notice.png, docs/info.png"
