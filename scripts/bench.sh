#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine on a private Xvfb; prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
source scripts/wine-env.sh
source scripts/xvfb.sh
cmake --preset ci >/dev/null
cmake --build build -j"$(nproc)" --target bench_background
trap 'wineserver -k 2>/dev/null || true; stop_private_xvfb' EXIT
start_private_xvfb
scripts/wine-prefix.sh
for bench in build/bench/bench_*.exe; do
  echo "== $(basename "$bench" .exe)"
  wine "$bench"
done
