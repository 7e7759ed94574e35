#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor. Arguments are
# passed to the editor.
set -euo pipefail
cd "$(dirname "$0")"
source tools/deps.sh
velluno_install_missing

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"

if [ -x build/bin/velluno ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/bin/velluno "$@"
fi
if [ -x build/bin/velluno ]; then
  echo "No display found (DISPLAY / WAYLAND_DISPLAY unset): showing the sample skin with the command-line tool instead."
fi
exec build/bin/velluno-cli info examples/varavave/varavave.ski
