#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs them.
#
#   ./fuzz.sh                    every target for 60 seconds, one after another
#   ./fuzz.sh TARGET [SECONDS]   one target (fuzz/targets lists them; "all" for every one)
#   ./fuzz.sh --ci               what CI runs: replay every corpus and every
#                                regression case, then fuzz each target 15 s
#
# More libFuzzer options go in FUZZ_ARGS (FUZZ_ARGS=-runs=10000000 ./fuzz.sh
# skin_reader 0 runs ten million inputs, however long they take).
#
# Seeds are read where they lie (examples/, assets/default, ../shared/corpus)
# or generated from them into build-fuzz/seeds/; what the fuzzer finds goes
# to build-fuzz/corpus/TARGET. An input that crashes a target is kept in
# build-fuzz/artifacts/TARGET/: once the fault is fixed, copy it into
# tests/fuzz-regressions/TARGET/, which every run replays.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
source tools/deps.sh
velluno_install_missing

build=build-fuzz
# Without the allocation stacks, which only a report's reader needs, the
# targets that allocate much run a sixth faster; replay a crashing input
# with build-fuzz/bin/fuzz_TARGET FILE and ASAN_OPTIONS unset to see them.
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0}
shared=$root/../shared/corpus

mapfile -t targets < <(grep -v '^[[:space:]]*\(#\|$\)' fuzz/targets)

configure() {
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUNO_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 >/dev/null
  cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]/#/fuzz_}"
}

# The input of fuzz_extract: the skin text, then containers 0, 1 and 14,
# each after the separator NUL "VDAT" NUL.
part() { printf '\0VDAT\0'; }

seeds() {
  local t=$1 dir=$build/seeds/$1
  rm -rf "$dir"
  mkdir -p "$dir"
  local ski=examples/varavave/varavave.ski
  case $t in
    skin_reader)
      # The sample as it is, with CR LF line ends, with one carriage return
      # in the middle, and without its last line feed.
      sed 's/$/\r/' "$ski" >"$dir/crlf.ski"
      sed '70s/$/\r/' "$ski" >"$dir/cr-at-70.ski"
      head -c -1 "$ski" >"$dir/no-last-lf.ski"
      echo examples/varavave "$dir" ;;
    extract)
      { cat "$ski"; part; cat examples/varavave/varavave.dat; part; cat examples/varavave/varavave1.dat; part
        cat examples/varavave/varavave14.dat; } >"$dir/sample"
      # Third-party GIFs back to back in container 0, one record each.
      if [ -d "$shared/gif-test-suite" ]; then
        local skin="SKI1 corpus"$'\n'"0 oggetti"$'\n' offset=0 n=630 f size
        for f in "$shared"/gif-test-suite/*.gif; do
          size=$(stat -c %s "$f")
          skin+="5 $n $offset $size 0"$'\n'
          offset=$((offset + size)); n=$((n + 1))
        done
        { printf '%s' "$skin"; part; cat "$shared"/gif-test-suite/*.gif; } >"$dir/corpus"
      fi
      echo "$dir" ;;
    colour_scheme)
      echo assets/default ;;
    script)
      # The worked session of the scripting guide.
      awk '/^`session.txt`:/ {grab = 1; next} grab && /^```$/ {if (open) exit; open = 1; next} grab && open' \
        docs/scripting.md >"$dir/session.txt"
      echo "$dir" ;;
    gif_guard)
      # Our default set, the sample's wallpaper (a JPEG: refused early) and
      # the third-party GIFs, where they lie.
      cp examples/varavave/wallpaper.jpg "$dir/"
      echo assets/default "$dir" $( [ -d "$shared/gif-test-suite" ] && echo "$shared/gif-test-suite") ;;
    *)
      echo "$dir" ;;
  esac
}

max_len() {
  case $1 in
    extract) echo 16384 ;;
    gif_guard) echo 16384 ;;
    skin_reader) echo 8192 ;;
    *) echo 4096 ;;
  esac
}

# fuzz TARGET SECONDS [libFuzzer options...]: SECONDS 0 replays the corpora only.
fuzz() {
  local t=$1 seconds=$2
  shift 2
  local corpus=$build/corpus/$t artifacts=$build/artifacts/$t/ regressions=tests/fuzz-regressions/$t
  mkdir -p "$corpus" "$artifacts"
  local dirs=("$corpus")
  read -r -a more <<<"$(seeds "$t")"
  dirs+=("${more[@]}")
  [ -d "$regressions" ] && dirs+=("$regressions")
  local options=(-max_len="$(max_len "$t")" -timeout=10 -artifact_prefix="$artifacts" -print_final_stats=1)
  if [ "$seconds" -gt 0 ]; then
    options+=(-max_total_time="$seconds")
  fi
  echo "== fuzz_$t ${seconds}s: ${dirs[*]}"
  # shellcheck disable=SC2086
  "$build/bin/fuzz_$t" "${options[@]}" "$@" ${FUZZ_ARGS:-} "${dirs[@]}"
}

configure
if [ "${1:-}" = "--ci" ]; then
  for t in "${targets[@]}"; do
    fuzz "$t" 0 -runs=0
  done
  for t in "${targets[@]}"; do
    fuzz "$t" 15
  done
  exit 0
fi
which=${1:-all}
seconds=${2:-60}
if [ "$which" = all ]; then
  for t in "${targets[@]}"; do
    fuzz "$t" "$seconds"
  done
else
  printf '%s\n' "${targets[@]}" | grep -qx "$which" || { echo "unknown target $which (fuzz/targets: ${targets[*]})" >&2; exit 2; }
  fuzz "$which" "$seconds"
fi
