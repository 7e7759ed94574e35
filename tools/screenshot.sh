#!/usr/bin/env bash
# Pictures of the main window with the sample skin open and its images
# extracted, made with Qt's own grab of the window (no display needed).
#
#   tools/screenshot.sh [--scale N] [--phone] [OUT.png] [TAB] [BUILD_DIR]
#   tools/screenshot.sh --guide [BUILD_DIR]
#
# TAB is the tab shown (0 preview, 1 graphic objects, ... 5 information);
# default BUILD_DIR/velluno-screenshot.png of tab 0, BUILD_DIR "build".
# --scale N draws the window N times larger, as on a high-density screen.
# --phone ticks "Telefono": the preview as the phone shows it, live.
# --guide makes every picture of docs/guide.md into docs/images/, at 2x,
# the live phone mode among them.
#
# The pictures show the skin's folder in the status bar and in every path
# cell, so the sample is copied into a folder named as a user's own,
# /home/giulia/Documenti/Skin v980 (opening a skin creates its image folder
# beside it, and the committed sample stays untouched). That folder lives on
# a memory disk mounted over /home in a mount namespace of this script's own
# (unshare, from util-linux): the real /home is neither seen nor touched.
# Where namespaces are not allowed, the copy goes to a temporary folder and
# the pictures show that path.
set -euo pipefail
cd "$(dirname "$0")/.."

scale=1
guide=
phone=
args=("$@")
while [ $# -gt 0 ]; do
  case "$1" in
    --scale) scale=$2; shift 2 ;;
    --guide) guide=1; shift ;;
    --phone) phone=1; shift ;;
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
[ -x "$build/bin/velluno" ] || { echo "missing $build/bin/velluno: build first (cmake --build $build)" >&2; exit 1; }
[ -f examples/varavave/varavave.ski ] || { echo "the sample skin is missing (examples/varavave)" >&2; exit 1; }

user_folder="/home/giulia/Documenti/Skin v980"
if [ -z "${VELLUNO_SCREENSHOT_NAMESPACE:-}" ] && unshare --user --map-root-user --mount true 2>/dev/null; then
  exec env VELLUNO_SCREENSHOT_NAMESPACE="$PWD" unshare --user --map-root-user --mount "$0" "${args[@]}"
fi

# Every path the script writes or runs is taken from the working tree as it
# was before /home was covered: the tree itself may lie under /home.
tree=$PWD
keep=$(mktemp -d)
cleanup() {
  if [ -n "${VELLUNO_SCREENSHOT_NAMESPACE:-}" ]; then
    # The working tree is mounted in there: let go of it, never remove it.
    umount -l "$keep/tree" 2>/dev/null || true
    rmdir "$keep/tree" "$keep" 2>/dev/null || true
  else
    rm -rf "$keep"
  fi
}
trap cleanup EXIT
if [ -n "${VELLUNO_SCREENSHOT_NAMESPACE:-}" ]; then
  mkdir "$keep/tree"
  mount --rbind "$tree" "$keep/tree"
  tree=$keep/tree
  mount -t tmpfs -o size=64m velluno-screenshot /home
  work=$user_folder
  export HOME=/home/giulia
else
  work="$keep/Skin v980"
fi
case "$build" in /*) ;; *) build=$tree/$build ;; esac
case "${out:-}" in ''|/*) ;; *) out=$tree/$out ;; esac
program="$build/bin/velluno"
cli="$build/bin/velluno-cli"
mkdir -p "$work"
cp "$tree"/examples/varavave/varavave.ski "$tree"/examples/varavave/*.dat "$tree"/examples/varavave/*.jpg "$work"/ 2>/dev/null || true

# One picture of the window showing tab $2, written to $1; more options after.
shot() {
  local picture=$1 shown=$2
  shift 2
  mkdir -p "$(dirname "$picture")"
  QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$program" \
    "$work/varavave.ski" --export-all --tab "$shown" "$@" --screenshot "$picture"
  echo "${picture#"$tree"/}"
}

if [ -z "$guide" ]; then
  shot "$out" "$tab" ${phone:+--phone}
  exit 0
fi

scale=2
images=$tree/docs/images
shot "$images/preview.png" 0
shot "$images/phone.png" 0 --phone
shot "$images/objects.png" 1
shot "$images/colours.png" 2
shot "$images/positions.png" 3
shot "$images/structure.png" 4
[ -x "$cli" ] || { echo "missing $cli: build first (cmake --build $build)" >&2; exit 1; }
"$cli" render "$work/varavave.ski" -o "$images/render.png" --scale 2 >/dev/null
echo "docs/images/render.png"
