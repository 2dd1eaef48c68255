#!/usr/bin/env bash
# Fails when conversion/README.md names a function that is not in the file it
# names beside it, as "(path: Function, Type::Function)", or a file that is not there.
set -euo pipefail
cd "$(dirname "$0")/.."
readme=conversion/README.md
missing=0
checked=0
# Each "(path: names)" group, one a line.
while IFS= read -r group; do
  path=${group%%:*}
  names=${group#*: }
  if [ ! -f "$path" ]; then
    echo "$readme names $path, which is not there." >&2
    missing=1
    continue
  fi
  IFS=',' read -ra list <<<"$names"
  for name in "${list[@]}"; do
    name=$(echo "$name" | tr -d ' ')
    # A function is where its name, qualified or not, is followed by its parameters.
    short=${name##*::}
    if ! grep -Eq "(^|[^A-Za-z0-9_])${short}[[:space:]]*\(" "$path"; then
      echo "$readme names $name in $path, which holds no such function." >&2
      missing=1
    fi
    checked=$((checked + 1))
  done
done < <(grep -oE '\((app|ui|conversion|bench|fuzz)/[A-Za-z0-9_/.-]+\.(cpp|h): [^)]+\)' "$readme" |
  sed 's/^(//; s/)$//')
if [ "$checked" = 0 ]; then
  echo "$readme names no function at all: the check found nothing to check." >&2
  exit 1
fi
[ "$missing" = 0 ] || exit 1
echo "conversion/README.md: all $checked functions are in the files it names."
