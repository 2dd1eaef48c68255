# Shared steps of the Windows build, sourced by build-windows.sh and test.sh.

# Gives Wine a UTF-8 locale when the environment has none (LANG unset, as in a
# container): Wine names files in the locale's encoding, and in C or POSIX it
# cannot name one whose name is not ASCII.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LC_ALL=C.UTF-8
fi

# Installs the cross compiler, Wine, Xvfb and the GoogleTest sources the Windows build needs,
# with the X libraries Wine's display driver loads when they are there, so that a fresh machine
# draws windows as this one does.
s2m_windows_deps() {
  bash scripts/deps.sh cmake make g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev googletest \
    wine wine64 fonts-wine xvfb xauth zip unzip \
    libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1 libxcomposite1 libxfixes3
}

# Prints the path of the built Windows program; fails when it has not been built.
s2m_windows_exe() {
  local exe
  exe=$(find build/windows -name swisslog-to-marigold.exe -not -path '*/CMakeFiles/*' -print -quit)
  if [ -z "$exe" ]; then
    echo "build/windows holds no swisslog-to-marigold.exe" >&2
    return 1
  fi
  echo "$exe"
}

# Prints the commit this tree holds, marked -dirty when a tracked file differs
# from it, then the commit's time in seconds since 1970: from git in a clone,
# else from scripts/source-commit.txt, which git archive fills in.
s2m_source_commit() {
  local commit time dirty=
  if [ -e .git ] && command -v git >/dev/null; then
    commit=$(git rev-parse HEAD) || return 1
    time=$(git log -1 --format=%ct HEAD) || return 1
    # Marks the tree dirty when git cannot compare it, too.
    git update-index -q --refresh >/dev/null || true
    git diff-index --quiet HEAD -- || dirty=-dirty
    echo "$commit$dirty $time"
    return
  fi
  read -r commit time <scripts/source-commit.txt || true
  if ! [[ "$commit" =~ ^[0-9a-f]{40,64}(-dirty)?$ && "$time" =~ ^[0-9]+$ ]]; then
    echo "Cannot tell which commit this tree holds: it has no git, and scripts/source-commit.txt" \
      "reads \"$commit $time\" where git archive writes the commit and its time." >&2
    return 1
  fi
  echo "$commit $time"
}

# Fails loudly unless the program EXE imports only DLLs that Windows provides.
s2m_check_dll_imports() {
  cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DEXE="$1" -P cmake/check-dll-imports.cmake
}

# Fails loudly unless the program EXE carries its protections: read back from its header, and
# from the map its link wrote beside it.
s2m_check_hardening() {
  cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DMAP="$(dirname "$1")/swisslog-to-marigold.map" \
    -DPROGRAM="$1" -P cmake/check-hardening.cmake
}

# Runs COMMAND... on a virtual X display with one Wine server, in the prefix the
# windows preset's build prepared, kept up for all the programs COMMAND starts.
s2m_wine_session() {
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    export WINEDEBUG=-all WINEPREFIX="$PWD/build/windows/wineprefix"
    wineserver -p
    trap "wineserver -k || true" EXIT
    # Starts the services and the desktop of the session without any of the output pipes of
    # what follows, which they would otherwise hold open until the server ends.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1
    "$@"
  ' s2m_wine_session "$@"
}

# Runs the Windows tests under Wine.
s2m_windows_test() {
  s2m_wine_session ctest --preset windows -j "$(nproc)" "$@"
}
