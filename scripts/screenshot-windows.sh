#!/usr/bin/env bash
# Starts the Windows program under Wine on a virtual screen and saves pictures of
# its window as docs/window-windows.png, and of the messages for a missing export
# after a click on START: docs/missing-export-windows.png, the program in a folder
# of its own, and docs/inside-zip-windows.png, the program in the temporary
# folder where Explorer runs it from inside its zip; of a FINISH with a notice,
# for an export that holds an empty line, as docs/finish-notice-windows.png;
# and of INFO's message as docs/info-windows.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-lib.sh
s2m_windows_deps
bash scripts/deps.sh fonts-wine imagemagick x11-utils xdotool

cmake --preset windows >/dev/null
cmake --build --preset windows --target swisslog-to-marigold -j "$(nproc)"
exe=$(s2m_windows_exe)

run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
export WINEDEBUG=-all WINEPREFIX="$PWD/build/windows/wineprefix-shot"
mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
# Gives the prefix the fonts a Windows installation has: Tahoma for dialogs,
# Marlett for the caption buttons. Wine's Tahoma Bold draws large sizes with the
# regular strokes, so bold is left to Wine's own emboldening.
find /usr/share/wine/fonts -name '*.ttf' -not -name tahomabd.ttf \
  -exec cp {} "$WINEPREFIX/drive_c/windows/Fonts/" \;
rm -f "$WINEPREFIX/drive_c/windows/Fonts/tahomabd.ttf"
mkdir -p docs

# The window beside the sample export; C:\Marigold, a folder of the user's own, without one;
# the folder Explorer unpacks a zip's program into, inside the temporary folder.
own="$WINEPREFIX/drive_c/Marigold"
# C:\Radio holds an export with an empty line, which FINISH notices.
finish="$WINEPREFIX/drive_c/Radio"
mkdir -p "$run/window" "$finish" "$own"
cp scripts/sample_export.csv "$run/window/LOG.CSV"
{ head -n 3 scripts/sample_export.csv; echo; tail -n +4 scripts/sample_export.csv; } >"$finish/LOG.CSV"
temp=$(winepath -u "$(wine cmd.exe /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')")
zip_run="$temp/Temp1_swisslog-to-marigold-windows-x64.zip"
mkdir -p "$zip_run"
trap 'rm -rf "$run" "$own" "$finish" "$zip_run"' EXIT
for dir in "$run/window" "$finish" "$own" "$zip_run"; do
  cp "$exe" "$dir/swisslog-to-marigold.exe"
done

# Wine's own desktop draws the caption, which a screen without a window manager lacks.
xvfb-run -a -s "-screen 0 1280x768x24 -dpi 96" bash -c '
  set -euo pipefail
  # Starts the program in folder $1, clicks START when $3 is "start" or INFO
  # when it is "info", and saves the desktop, $4 (640x320 when left out), as $2.
  shoot() {
    size=${4:-640x320}
    (cd "$1" && exec wine explorer /desktop=shot,$size swisslog-to-marigold.exe) &
    program=$!
    for _ in $(seq 150); do
      xwininfo -root -tree | grep -q "shot - Wine desktop" && break
      sleep 0.2
    done
    sleep 4
    if [ "$3" = start ]; then
      # START sits at the top left of the window, below its caption.
      xdotool mousemove 60 42 click 1
      sleep 2
    elif [ "$3" = info ]; then
      # INFO sits right of START.
      xdotool mousemove 135 42 click 1
      sleep 2
    fi
    import -window root -crop "$size+0+0" +repage "$2"
    wineserver -k || true
    wait "$program" || true
  }
  shoot "$1/window" "$1/window.png" -
  shoot "$2" "$1/missing.png" start
  shoot "$3" "$1/zip.png" start
  shoot "$4" "$1/finish.png" start
  shoot "$1/window" "$1/info.png" info 1200x400
' shot "$run" "$own" "$zip_run" "$finish"
# Cuts each picture down to what it shows: the desktop around it is one colour.
convert "$run/window.png" -trim +repage docs/window-windows.png
convert "$run/missing.png" -trim +repage docs/missing-export-windows.png
convert "$run/zip.png" -trim +repage docs/inside-zip-windows.png
convert "$run/finish.png" -trim +repage docs/finish-notice-windows.png
convert "$run/info.png" -trim +repage docs/info-windows.png
echo "Saved docs/window-windows.png, docs/missing-export-windows.png, docs/inside-zip-windows.png,"
echo "docs/finish-notice-windows.png, docs/info-windows.png"
