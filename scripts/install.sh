#!/usr/bin/env bash
# Installs the program for the user who runs this into a folder of their own,
# with an entry and an icon in the desktop's menu, or removes them again.
# Usage: install.sh [FOLDER]           installs into FOLDER (~/marigold when left out)
#        install.sh --remove [FOLDER]  removes what an install into FOLDER wrote
# The program writes marigold.txt beside itself, so FOLDER must be one the
# user may write to: a system folder will not do. S2M_INSTALL_BUILD names a
# build folder that holds the program already (build/dev, say); otherwise the
# program is built in build/install when it is not there yet.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)

remove=0
if [ "${1:-}" = "--remove" ]; then
  remove=1
  shift
fi
if [ $# -gt 1 ] || [[ "${1:-}" == -* ]]; then
  echo "Usage: $0 [--remove] [FOLDER]" >&2
  exit 2
fi
folder=${1:-$HOME/marigold}
case "$folder" in
  *$'\n'* | *$'\r'*) echo "The folder \"$folder\" holds a line break; choose another." >&2; exit 2 ;;
esac
mkdir -p "$folder" 2>/dev/null || true
if [ ! -d "$folder" ]; then
  echo "Cannot make the folder \"$folder\"." >&2
  exit 1
fi
folder=$(cd "$folder" && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
name=swisslog-to-marigold
record=$folder/.$name-installed
entry=$data/applications/$name.desktop

if [ "$remove" = 1 ]; then
  if [ ! -f "$record" ]; then
    echo "Nothing to remove: \"$folder\" holds no record of an install ($record)." >&2
    exit 1
  fi
  # Removes the files the record lists, one by one, and only files of the names
  # an install writes; exports, marigold.txt and its notes stay. Then removes
  # the folders the install made, deepest first, those left empty only.
  while IFS= read -r line; do
    [ "${line:0:2}" = "F " ] || continue
    file=${line:2}
    case "$(basename -- "$file")" in
      "$name" | "$name.png" | "$name.desktop") ;;
      *) echo "Left alone: $file, which no install writes." >&2; continue ;;
    esac
    if [ -f "$file" ] || [ -L "$file" ]; then
      rm -f -- "$file"
      echo "Removed $file"
    fi
  done <"$record"
  while IFS= read -r line; do
    if [ "${line:0:2}" = "D " ] && rmdir -- "${line:2}" 2>/dev/null; then
      echo "Removed the empty folder ${line:2}"
    fi
  done <"$record"
  rm -f -- "$record"
  if rmdir -- "$folder" 2>/dev/null; then
    echo "Removed the empty folder $folder"
  fi
  exit 0
fi

# Installs what the build needs when run as root; else names the command that does.
packages=(cmake make g++ pkg-config qt6-base-dev)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
  if [ "$(id -u)" = 0 ]; then
    bash "$source_dir/scripts/deps.sh" "${missing[@]}"
  else
    echo "Packages the build needs are missing; install them, then run this again:" >&2
    echo "    sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
fi

build=${S2M_INSTALL_BUILD:-$source_dir/build/install}
program=$build/app/$name
if [ ! -x "$program" ]; then
  if [ -n "${S2M_INSTALL_BUILD:-}" ]; then
    echo "S2M_INSTALL_BUILD is \"$S2M_INSTALL_BUILD\", which holds no built app/$name." >&2
    exit 1
  fi
  (cd "$source_dir" && cmake --preset run -B "$build" >/dev/null &&
    cmake --build "$build" --target "$name" -j "$(nproc)")
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2046  # pkg-config prints several flags
g++ -std=c++20 -fPIC $(pkg-config --cflags Qt6Gui) "$source_dir/scripts/icon/draw_icon.cpp" \
  $(pkg-config --libs Qt6Gui) -o "$work/draw_icon"

# Makes a folder and its parents, and notes each one made, the last made first.
made=()
make_folder() {
  local folder=$1 missing=()
  while [ ! -d "$folder" ]; do
    missing+=("$folder")
    folder=$(dirname "$folder")
  done
  mkdir -p "$1"
  made=("${missing[@]}" "${made[@]}")
}

written=()
install -m 0755 "$program" "$folder/$name"
written+=("$folder/$name")
for size in 16 22 24 32 48 64 128 256; do
  icon=$data/icons/hicolor/${size}x$size/apps/$name.png
  make_folder "$(dirname "$icon")"
  QT_QPA_PLATFORM=offscreen "$work/draw_icon" "$icon" "$size" 2>"$work/draw.log" ||
    { cat "$work/draw.log" >&2; echo "Cannot draw the icon $icon." >&2; exit 1; }
  written+=("$icon")
done

# Quotes the program for Exec: \ " ` $ escaped inside double quotes, % doubled,
# then every backslash doubled, as a string of a desktop entry is escaped.
exec_path=$folder/$name
exec_path=${exec_path//\\/\\\\}
exec_path=${exec_path//\"/\\\"}
exec_path=${exec_path//\`/\\\`}
exec_path=${exec_path//\$/\\\$}
exec_path=${exec_path//%/%%}
exec_path=${exec_path//\\/\\\\}
make_folder "$(dirname "$entry")"
cat >"$entry" <<EOF
[Desktop Entry]
Type=Application
Name=SWISSLOG to MARIGOLD
Comment=Converts a log exported from SWISSLOG into marigold.txt for MARIGOLD's import
Exec="$exec_path"
Icon=$name
Terminal=false
Categories=Utility;
EOF
written+=("$entry")
# Lists the files written, then the folders made, which --remove reads.
{
  printf 'F %s\n' "${written[@]}"
  [ "${#made[@]}" = 0 ] || printf 'D %s\n' "${made[@]}"
} >"$record"

echo "Installed $folder/$name, its menu entry $entry and its icons."
echo "Put your export in $folder; marigold.txt appears there."
echo "To remove them: bash $0 --remove \"$folder\""
