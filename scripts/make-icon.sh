#!/usr/bin/env bash
# Draws the window's icon and writes it as ui/marigold.ico, 32 x 32 in 16 colours;
# both windows show that file.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh g++ pkg-config qt6-base-dev imagemagick python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2046  # pkg-config prints several flags
g++ -std=c++20 -fPIC $(pkg-config --cflags Qt6Gui) scripts/icon/draw_icon.cpp \
  $(pkg-config --libs Qt6Gui) -o "$work/draw_icon"
QT_QPA_PLATFORM=offscreen "$work/draw_icon" "$work/icon.png"
convert "$work/icon.png" -channel A -threshold 50% +channel -background none -dither None \
  -colors 16 -depth 8 rgba:- | python3 scripts/icon/write_ico.py ui/marigold.ico
echo "Wrote ui/marigold.ico"
