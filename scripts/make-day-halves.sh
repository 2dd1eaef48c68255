#!/usr/bin/env bash
# Writes conversion/platform/generated/day_half_words.cpp, the AM and PM words
# of every language, from the CLDR data of the ICU installed (Debian's libicu-dev);
# scripts/day-halves/write_day_halves.cpp tells which words and byte forms.
# With --check, writes it aside and fails unless it equals the checked-in one;
# skips the check, saying so, when this ICU is not the one the table came from.
set -euo pipefail
cd "$(dirname "$0")/.."

table=conversion/platform/generated/day_half_words.cpp
bash scripts/deps.sh g++ pkg-config libicu-dev
icu=$(pkg-config --modversion icu-i18n)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2046  # pkg-config prints several flags
g++ -std=c++20 -O1 scripts/day-halves/write_day_halves.cpp $(pkg-config --cflags --libs icu-i18n icu-uc) \
  -o "$work/write_day_halves"

if [ "${1:-}" != --check ]; then
  "$work/write_day_halves" "$table"
  echo "Wrote $table from ICU $icu"
  exit 0
fi
made=$(sed -n '2s/.* as ICU \([0-9.]*\) carries it.*/\1/p' "$table")
if [ -z "$made" ]; then
  echo "$table does not say on its second line which ICU it comes from; write it again." >&2
  exit 1
fi
if [ "$made" != "$icu" ]; then
  echo "Skipped the check of $table: it comes from ICU $made, this machine has ICU $icu."
  exit 0
fi
"$work/write_day_halves" "$work/day_half_words.cpp" >/dev/null
if ! cmp -s "$work/day_half_words.cpp" "$table"; then
  echo "$table differs from what scripts/make-day-halves.sh writes:" >&2
  diff "$table" "$work/day_half_words.cpp" | head -20 >&2
  exit 1
fi
echo "$table is what ICU $icu writes."
