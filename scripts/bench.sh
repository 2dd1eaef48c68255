#!/usr/bin/env bash
# Builds the benchmark in Release and runs it; arguments go to the benchmark
# (--lines N, --small N, --repeat R, --dir PATH, --keep).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh cmake make g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j "$(nproc)" --target convert_bench
exec build-bench/bench/convert_bench "$@"
