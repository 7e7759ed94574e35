#!/usr/bin/env bash
# Builds and runs every benchmark; the figures are for reading, not asserting.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
velluno_install_missing
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
export QT_QPA_PLATFORM=offscreen
for b in build/bench/bench_* build/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  case "$(basename "$b")" in
    # Set their own short, interleaved repetitions: their figures are ratios.
    bench_open|bench_positions) "$b" "$@" ;;
    *) "$b" --benchmark_min_time=0.5 "$@" ;;
  esac
done
