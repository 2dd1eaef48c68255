#!/usr/bin/env bash
# Installs what the build lacks, builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh cmake make g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev \
  xvfb xauth

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure -j "$(nproc)"
