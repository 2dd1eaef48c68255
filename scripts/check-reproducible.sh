#!/usr/bin/env bash
# Builds the Windows zip twice, each time from a fresh copy of this tree, and
# fails unless both builds give the same exe and the same zip, byte for byte.
# The two builds differ in all that must not matter: the folder's name and
# length, the build folder (each copy builds its own, without a compiler
# cache), the clock (a year apart, under faketime), the time zone, the umask
# and the language. SOURCE_DATE_EPOCH is unset in both, so each build takes the
# commit's time. Runs under env -i as well: it sets PATH itself.
# Usage: check-reproducible.sh
set -euo pipefail
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
cd "$(dirname "$0")/.."
source scripts/windows-lib.sh
s2m_windows_deps
bash scripts/deps.sh faketime

started=$SECONDS
source_commit=$(s2m_source_commit)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Copies the tree into folder $1 as a copy without git holds it: in a clone the
# files git tracks, as they are now; else every file but the builds. Writes the
# commit as git archive would, since the copy has no git to ask.
copy_tree() {
  mkdir -p "$1"
  if [ -e .git ] && command -v git >/dev/null; then
    git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$1"
  else
    tar --exclude=./build --exclude=./dist -cf - . | tar -xf - -C "$1"
  fi
  echo "$source_commit" >"$1/scripts/source-commit.txt"
}

# Builds the zip in the copy in folder $1 with umask $2, under the environment
# and the command given by the other arguments; the output goes to $1.log.
build() {
  local tree=$1 mask=$2 start=$SECONDS
  shift 2
  copy_tree "$tree"
  mkdir -p "$tree.home"
  if ! env -i PATH="$PATH" HOME="$tree.home" CCACHE_DISABLE=1 "$@" \
    bash -c 'umask "$1" && cd "$2" && bash scripts/build-windows.sh' build "$mask" "$tree" >"$tree.log" 2>&1; then
    tail -n 30 "$tree.log" >&2
    echo "The build in $tree failed; its output is above." >&2
    exit 1
  fi
  echo "Built in $tree in $((SECONDS - start)) s."
}

first=$work/a/s
second=$work/second-build-in-a-longer-folder/swisslog-to-marigold-source
build "$first" 022 TZ=UTC
build "$second" 077 TZ=Pacific/Chatham LANG=de_CH.UTF-8 faketime -f +365d

same=1
for file in build/windows/app/swisslog-to-marigold.exe dist/swisslog-to-marigold-windows-x64.zip; do
  (cd "$first" && sha256sum "$file")
  (cd "$second" && sha256sum "$file")
  if ! cmp -s "$first/$file" "$second/$file"; then
    same=0
    echo "$file differs between the two builds; the first differing bytes (offset from 1, octal values):" >&2
    cmp -l "$first/$file" "$second/$file" | head -n 20 >&2 || true
  fi
done
if [ "$same" = 0 ]; then
  trap - EXIT
  echo "The builds differ: they stay in $work for a closer look." >&2
  exit 1
fi
echo "Both builds of $source_commit gave the same exe and zip, in $((SECONDS - started)) s."
