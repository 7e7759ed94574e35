#!/usr/bin/env bash
# Start-up to a shown window, measured from outside the process: the editor
# (`velluno --quit-when-shown`) beside an empty QMainWindow
# (`velluno-barewindow`), run alternately, median of RUNS runs each.
#
#   tools/startup-bench.sh [--xvfb] [BUILD_DIR] [RUNS]
#
# Without --xvfb the programs run on Qt's offscreen platform; with it, on a
# virtual X server (xvfb-run, Debian package xvfb) through the xcb platform.
# Target: the editor's median at most 1.5 times the bare window's.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--xvfb" ]; then
  shift
  if [ -z "${VELLUNO_UNDER_XVFB:-}" ]; then
    command -v xvfb-run >/dev/null || { echo "xvfb-run not found (package xvfb)" >&2; exit 1; }
    VELLUNO_UNDER_XVFB=1 QT_QPA_PLATFORM=xcb exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --xvfb "$@"
  fi
else
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
fi

build=${1:-build}
runs=${2:-21}
editor="$build/bin/velluno"
bare="$build/bin/velluno-barewindow"
for p in "$editor" "$bare"; do
  [ -x "$p" ] || { echo "missing $p: build first (cmake --build $build)" >&2; exit 1; }
done
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

# One run: wall time and CPU time (user + system) in microseconds. On a busy
# machine the wall time also counts the time spent waiting for a processor,
# which grows with the work done; the CPU time does not.
run_us() {
  local t0 t1 cpu
  t0=$(date +%s%N)
  cpu=$( ( "$@" >/dev/null 2>&1; times ) | awk 'NR == 2 {
      split($1, u, /[ms]/); split($2, s, /[ms]/);
      printf "%d", ((u[1] * 60 + u[2]) + (s[1] * 60 + s[2])) * 1000000 }')
  t1=$(date +%s%N)
  echo "$(( (t1 - t0) / 1000 )) $cpu"
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}

# One warm-up of each, so both start with the libraries in the page cache.
run_us "$bare" >/dev/null
run_us "$editor" --quit-when-shown >/dev/null

bare_runs=()
editor_runs=()
for ((i = 0; i < runs; i++)); do
  bare_runs+=("$(run_us "$bare")")
  editor_runs+=("$(run_us "$editor" --quit-when-shown)")
done

column() { printf '%s\n' "${@:2}" | awk -v c="$1" '{ print $c }' | median; }
bare_wall=$(column 1 "${bare_runs[@]}")
editor_wall=$(column 1 "${editor_runs[@]}")
bare_cpu=$(column 2 "${bare_runs[@]}")
editor_cpu=$(column 2 "${editor_runs[@]}")
ms() { awk -v t="$1" 'BEGIN { printf "%7.1f", t / 1000 }'; }
ratio() { awk -v e="$1" -v b="$2" 'BEGIN { printf "%.2f", e / b }'; }
wall_ratio=$(ratio "$editor_wall" "$bare_wall")
cpu_ratio=$(ratio "$editor_cpu" "$bare_cpu")
verdict=$(awk -v r="$wall_ratio" 'BEGIN { print (r <= 1.5) ? "within" : "OVER" }')

echo "platform: ${QT_QPA_PLATFORM}, runs: $runs each, medians"
echo "                  wall ms   cpu ms"
echo "bare QMainWindow  $(ms "$bare_wall")  $(ms "$bare_cpu")"
echo "velluno           $(ms "$editor_wall")  $(ms "$editor_cpu")"
echo "ratio wall $wall_ratio ($verdict the 1.5 target), cpu $cpu_ratio"
