#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine on a private Xvfb; prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-session.sh
build_and_start_wine_session
echo "== bench_background"
wine build/bench/bench_background.exe
echo "== bench_launcher"
wine build/bench/bench_launcher.exe "${KESTRUM_BENCH_EXE:-$PWD/build/Kestrum.exe}" "$PWD/examples/Kestrum.INI" \
  "$PWD/build/bench/bench_floor.exe"
echo "== bench_keys"
wine build/bench/bench_keys.exe
echo "== bench_options"
wine build/bench/bench_options.exe
echo "== soak (1000 launcher and 100 options openings)"
KESTRUM_SOAK_CYCLES=1000 wine build/tests/e2e_soak.exe "$PWD/build/Kestrum.exe" "$PWD/build/tests/record_launch.exe"
