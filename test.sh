#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, and runs every
# test: once in a normal build, once under AddressSanitizer and
# UndefinedBehaviorSanitizer; then replays the fuzz corpora and fuzzes each
# reader for a few seconds.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
velluno_install_missing

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

echo "== Build (warnings are errors)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUNO_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
echo "== Tests"
(cd build && ctest --output-on-failure -j "$jobs")
echo "== The Debian package: built, checked by lintian, unpacked and run"
tools/package-test.sh build

echo "== Build with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELLUNO_WERROR=ON \
  -DVELLUNO_SANITIZE=ON -DVELLUNO_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j "$jobs"
echo "== Tests under the sanitizers"
# Leaks are left to the first run's review: Qt's font and platform caches
# live until exit by design and would drown real reports.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j "$jobs")

echo "== Fuzzing: every corpus replayed, every target 15 seconds"
./fuzz.sh --ci
