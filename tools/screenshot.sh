#!/usr/bin/env bash
# A picture of the main window with the sample skin open and its images
# extracted, made with Qt's own grab of the window (no display needed).
#
#   tools/screenshot.sh [OUT.png] [TAB] [BUILD_DIR]
#
# TAB is the tab shown (0 preview, 1 graphic objects, ... 5 information);
# default BUILD_DIR/velluno-screenshot.png of tab 0, BUILD_DIR "build".
# The sample is copied to a temporary folder first: opening a skin creates
# its image folder beside it, and the committed sample stays untouched.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${3:-build}
out=${1:-$build/velluno-screenshot.png}
tab=${2:-0}
program="$build/bin/velluno"
[ -x "$program" ] || { echo "missing $program: build first (cmake --build $build)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/varavave/varavave.ski examples/varavave/*.dat examples/varavave/*.jpg "$work"/ 2>/dev/null || true
[ -f "$work/varavave.ski" ] || { echo "the sample skin is missing (examples/varavave)" >&2; exit 1; }

mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$program" \
  "$work/varavave.ski" --export-all --tab "$tab" --screenshot "$out"
echo "$out"
