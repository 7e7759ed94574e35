#!/usr/bin/env bash
# Pictures of the main window with the sample skin open and its images
# extracted, made with Qt's own grab of the window (no display needed).
#
#   tools/screenshot.sh [--scale N] [OUT.png] [TAB] [BUILD_DIR]
#   tools/screenshot.sh --guide [BUILD_DIR]
#
# TAB is the tab shown (0 preview, 1 graphic objects, ... 5 information);
# default BUILD_DIR/velluno-screenshot.png of tab 0, BUILD_DIR "build".
# --scale N draws the window N times larger, as on a high-density screen.
# --guide makes every picture of docs/guide.md into docs/images/, at 2x.
# The sample is copied to a temporary folder first: opening a skin creates
# its image folder beside it, and the committed sample stays untouched.
set -euo pipefail
cd "$(dirname "$0")/.."

scale=1
guide=
while [ $# -gt 0 ]; do
  case "$1" in
    --scale) scale=$2; shift 2 ;;
    --guide) guide=1; shift ;;
    *) break ;;
  esac
done

if [ -n "$guide" ]; then
  build=${1:-build}
else
  build=${3:-build}
  out=${1:-$build/velluno-screenshot.png}
  tab=${2:-0}
fi
program="$build/bin/velluno"
cli="$build/bin/velluno-cli"
[ -x "$program" ] || { echo "missing $program: build first (cmake --build $build)" >&2; exit 1; }

# The status bar shows the skin's path: the same folder name every time.
parent=$(mktemp -d)
trap 'rm -rf "$parent"' EXIT
work="$parent/v980"
mkdir "$work"
cp examples/varavave/varavave.ski examples/varavave/*.dat examples/varavave/*.jpg "$work"/ 2>/dev/null || true
[ -f "$work/varavave.ski" ] || { echo "the sample skin is missing (examples/varavave)" >&2; exit 1; }

# One picture of the window showing tab $2, written to $1.
shot() {
  mkdir -p "$(dirname "$1")"
  QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$program" \
    "$work/varavave.ski" --export-all --tab "$2" --screenshot "$1"
  echo "$1"
}

if [ -z "$guide" ]; then
  shot "$out" "$tab"
  exit 0
fi

scale=2
images=docs/images
shot "$images/preview.png" 0
shot "$images/objects.png" 1
shot "$images/colours.png" 2
shot "$images/positions.png" 3
shot "$images/structure.png" 4
[ -x "$cli" ] || { echo "missing $cli: build first (cmake --build $build)" >&2; exit 1; }
"$cli" render "$work/varavave.ski" -o "$images/render.png" --scale 2 >/dev/null
echo "$images/render.png"
