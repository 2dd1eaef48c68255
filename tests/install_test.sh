#!/usr/bin/env bash
# Installs the program as a new user would, under a temporary HOME, into a
# folder whose name holds a blank: checks the menu entry with
# desktop-file-validate, starts the program from the entry's Exec under Xvfb
# until its window shows, then removes the install and checks that nothing of
# it is left and that an export and marigold.txt stay.
# Usage: install_test.sh BUILD   (a build folder that holds app/swisslog-to-marigold)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:?Usage: $0 BUILD}" && pwd)

fail() {
  echo "install test: $*" >&2
  exit 1
}

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home
unset XDG_DATA_HOME
mkdir -p "$HOME"
folder="$HOME/my radio/marigold"
S2M_INSTALL_BUILD=$build bash scripts/install.sh "$folder" >"$work/install.log" ||
  fail "install.sh failed: $(cat "$work/install.log")"

entry=$HOME/.local/share/applications/swisslog-to-marigold.desktop
[ -f "$entry" ] || fail "no menu entry at $entry"
desktop-file-validate "$entry" || fail "desktop-file-validate finds fault with $entry"
for size in 16 32 48 256; do
  icon=$HOME/.local/share/icons/hicolor/${size}x$size/apps/swisslog-to-marigold.png
  file "$icon" | grep -q "PNG image data, $size x $size" || fail "no $size x $size icon at $icon"
done

# Reads the Exec line as a launcher does: the string's escapes first, then the quoting.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
exec_line=${exec_line//\\\\/\\}
eval "set -- $exec_line"
if [ "$#" != 1 ] || [ "$1" != "$folder/swisslog-to-marigold" ]; then
  fail "Exec=$exec_line does not start $folder/swisslog-to-marigold"
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
DISPLAY=$display "$@" >"$work/program.log" 2>&1 &
program_pid=$!
shown=0
for _ in $(seq 100); do
  if DISPLAY=$display xwininfo -root -tree 2>/dev/null | grep -q "From SWISSLOG exported in CVS to MARIGOLD.TXT"; then
    shown=1
    break
  fi
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.2
done
[ "$shown" = 1 ] || fail "the program started from the entry showed no window: $(cat "$work/program.log")"
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=

# A user's files in the folder stay when the program is removed.
cp scripts/sample_export.csv "$folder/LOG.CSV"
echo "a record" >"$folder/marigold.txt"
echo "a note" >"$folder/marigold-notes.txt"
bash scripts/install.sh --remove "$folder" >"$work/remove.log" ||
  fail "install.sh --remove failed: $(cat "$work/remove.log")"
left=$(cd "$HOME" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./my radio ./my radio/marigold ./my radio/marigold/LOG.CSV ./my radio/marigold/marigold-notes.txt ./my radio/marigold/marigold.txt " ] ||
  fail "after --remove the temporary HOME holds: $left"
echo "install test: installed, validated, started from its entry and removed; the user's files stayed."
