#!/usr/bin/env bash
# Starts the Windows program under Wine on a virtual screen and saves a picture
# of its window as docs/window-windows.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-lib.sh
s2m_windows_deps
bash scripts/deps.sh fonts-wine imagemagick x11-utils

cmake --preset windows >/dev/null
cmake --build --preset windows --target swisslog-to-marigold -j "$(nproc)"
exe=$(s2m_windows_exe)

run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
cp "$exe" "$run/swisslog-to-marigold.exe"
cp scripts/sample_export.csv "$run/LOG.CSV"
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

# Wine's own desktop draws the caption, which a screen without a window manager lacks.
xvfb-run -a -s "-screen 0 800x600x24 -dpi 96" bash -c '
  set -euo pipefail
  cd "$1"
  wine explorer /desktop=shot,640x320 swisslog-to-marigold.exe &
  program=$!
  trap "wineserver -k || true" EXIT
  for _ in $(seq 150); do
    xwininfo -root -tree | grep -q "shot - Wine desktop" && break
    sleep 0.2
  done
  sleep 4
  import -window root -crop 640x320+0+0 +repage "$1/shot.png"
  kill "$program" 2>/dev/null || true
' shot "$run"
# Cuts the picture down to the window: the desktop around it is one colour.
convert "$run/shot.png" -trim +repage docs/window-windows.png
echo "Saved docs/window-windows.png"
