#!/usr/bin/env bash
# Installs what the build lacks, builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
# Drops the current folder from PATH, where bash puts it when it starts with
# none (env -i): cmake would take the project's cmake/ folder for its own.
PATH=$(printf '%s\n' "$PATH" | tr ':' '\n' | grep -vx -e '.' -e '' | paste -sd: -)
export PATH
bash scripts/deps.sh cmake make g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev \
  xvfb xauth clang clang-tidy libclang-rt-14-dev libicu-dev desktop-file-utils x11-utils file

# Builds everything and runs the suite; its test hardening reads the program's
# protections back with readelf and fails when one is missing.
cmake --preset dev
cmake --build --preset dev -j "$(nproc)"
ctest --preset dev -j "$(nproc)"

# Installs the dev build's program under a temporary HOME with its menu entry,
# starts it from the entry under Xvfb and removes it again.
bash tests/install_test.sh build/dev

# Checks that every function the drawing of the core names is in the file it names.
bash scripts/check-house.sh

# Checks that the table of every language's AM and PM words is what its
# generator writes from ICU's CLDR data; skips, saying so, under another ICU.
bash scripts/make-day-halves.sh --check

# Checks that the lists of what the messages say are what their one source gives.
bash scripts/make-messages.sh --check

# Runs the whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset sanitize
cmake --build --preset sanitize -j "$(nproc)"
ctest --preset sanitize -j "$(nproc)"

# Fuzzes the line and file conversion briefly.
if command -v clang++ >/dev/null; then
  bash scripts/fuzz.sh 20
else
  echo "No clang++ here: fuzzing skipped."
fi

# Cross-builds the Windows program and its tests and runs them under Wine; the
# test windows_dll_imports among them checks that the program imports only
# Windows' own DLLs, and hardening that it carries its protections.
source scripts/windows-lib.sh
s2m_windows_deps
cmake --preset windows
cmake --build --preset windows -j "$(nproc)"
s2m_windows_test

# Builds the Windows zip twice, from two fresh copies of the tree, and fails
# unless both give the same bytes.
bash scripts/check-reproducible.sh

# Keeps the project's own code, the Windows-only sources included, free of clang-tidy findings.
bash scripts/tidy.sh --windows
