#!/usr/bin/env bash
# Converting a folder of pictures with orvane-render, the tool's main job:
# the sample pictures and the pictures of the test data, each copied ten
# times, drawn at --fit 512x512 once as one process per file and as one
# --output-dir call with -j at its default, that call alternately with the
# same call of the tool as it was at commit 52f0220 (built here from a
# temporary clone unless given). Every ratio divides CPU times (user +
# system of the run and everything it started; a busy machine stretches
# wall times, not those), medians over the rounds where there are rounds:
#   ratio batch_vs_per_process: batch CPU time / per-process CPU time
#   ratio batch_files_per_second_vs_before: files per CPU second of the
#     batch call / the same of commit 52f0220's tool
# The files per wall-clock second of each form are printed too. Where a
# drawing program with a command-line export is installed, its batch export
# of the same metafiles to 512-pixel PNGs is timed as well.
# Usage: bench/render_batch_bench.sh [TOOL [TOOL-AT-52f0220]]
#   TOOL defaults to build/tools/orvane-render; ROUNDS=N in the environment
#   sets the alternating rounds (default 3).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-$root/build/tools/orvane-render}
before_commit=52f0220
rounds=${ROUNDS:-3}
copies=10
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/per-process" "$work/batch" "$work/batch-before"

# The tool before: built from a clone with only what orvane-render needs,
# at the build type of TOOL's own build where that is known.
if [ $# -ge 2 ]; then
  before_tool=$2
else
  echo "building orvane-render at $before_commit in a temporary clone ..." >&2
  git -c advice.detachedHead=false clone --quiet "$root" "$work/before-src"
  git -C "$work/before-src" -c advice.detachedHead=false checkout --quiet "$before_commit"
  build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$(dirname "$tool")/../CMakeCache.txt" 2>/dev/null || true)
  cmake -S "$work/before-src" -B "$work/before-build" -G Ninja ${build_type:+-DCMAKE_BUILD_TYPE="$build_type"} \
        -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_DEMO=OFF -DORVANE_BUILD_BENCH=OFF -DORVANE_SDL_BACKEND=OFF >/dev/null
  ninja -C "$work/before-build" orvane-render >/dev/null
  before_tool=$work/before-build/tools/orvane-render
fi

# Only pictures both tools draw: a file one refuses would time its refusal.
n=0
for picture in "$root"/demo/data/*.EMF "$root"/fuzz/corpus/{metafile,wmf,bmp,icon}/* "$root"/tests/backend/*.ico \
               "$root"/demo/resources/*.ico; do
  [ -f "$picture" ] || continue
  "$tool" --fit 16x16 "$picture" "$work/probe.png" 2>/dev/null || continue
  "$before_tool" --fit 16x16 "$picture" "$work/probe.png" 2>/dev/null || continue
  n=$((n + 1))
  base=$(basename "$picture")
  for ((i = 0; i < copies; i++)); do cp "$picture" "$work/in/$i-$n-$base"; done
done
if ((n == 0)); then
  echo "render_batch_bench: neither $tool nor $before_tool drew any of the pictures" >&2
  exit 1
fi
inputs=("$work"/in/*)
count=${#inputs[@]}

# Runs a command; appends "WALL CPU" (seconds; CPU is user + system of it
# and its children) to the file named first.
timed() {
  local into=$1 TIMEFORMAT='%R %U %S'
  shift
  { time "$@" >/dev/null 2>&1; } 2>"$work/time"
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$work/time" >>"$into"
}
# Median of column COLUMN (1 wall, 2 CPU) of a timing file.
median() { awk -v c="$2" '{ print $c }' "$1" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
per_second() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.1f", n / s }'; }

per_process_all() {
  for input in "${inputs[@]}"; do
    name=$(basename "$input")
    "$tool" --fit 512x512 "$input" "$work/per-process/${name%.*}.png"
  done
}
timed "$work/per-process.times" per_process_all

# The two tools' batch calls in turns, each round in the other order.
for ((r = 0; r < rounds; r++)); do
  if ((r % 2 == 0)); then
    timed "$work/batch.times" "$tool" --fit 512x512 --output-dir "$work/batch" "${inputs[@]}"
    timed "$work/before.times" "$before_tool" --fit 512x512 --output-dir "$work/batch-before" "${inputs[@]}"
  else
    timed "$work/before.times" "$before_tool" --fit 512x512 --output-dir "$work/batch-before" "${inputs[@]}"
    timed "$work/batch.times" "$tool" --fit 512x512 --output-dir "$work/batch" "${inputs[@]}"
  fi
done

report() {  # LABEL TIMES-FILE
  local wall cpu
  wall=$(median "$2" 1)
  cpu=$(median "$2" 2)
  echo "$1: $wall s, $(per_second "$count" "$wall") files/s; CPU $cpu s, $(per_second "$count" "$cpu") files per CPU second"
}
echo "files: $count ($n pictures x $copies), $(nproc) processors, batch medians of $rounds rounds"
report per_process "$work/per-process.times"
report batch "$work/batch.times"
report "batch at $before_commit" "$work/before.times"
awk -v b="$(median "$work/batch.times" 2)" -v p="$(median "$work/per-process.times" 2)" \
  'BEGIN { printf "ratio batch_vs_per_process: %.2f\n", b / p }'
awk -v now="$(median "$work/batch.times" 2)" -v before="$(median "$work/before.times" 2)" \
  'BEGIN { printf "ratio batch_files_per_second_vs_before: %.2f\n", before / now }'

# A drawing program's batch export of the same metafiles, where one is installed.
if command -v inkscape >/dev/null 2>&1; then
  mkdir -p "$work/drawing-program"
  cp "$work"/in/*.[eE][mM][fF] "$work/drawing-program/" 2>/dev/null || true
  metafiles=("$work"/drawing-program/*)
  if [ -f "${metafiles[0]}" ]; then
    timed "$work/drawing-program.times" inkscape --export-type=png --export-width=512 "${metafiles[@]}" || true
    timed "$work/ours.times" "$tool" --fit 512x512 --output-dir "$work/batch" "${metafiles[@]}"
    echo "drawing_program: ${#metafiles[@]} metafiles, CPU $(median "$work/drawing-program.times" 2) s"
    awk -v b="$(median "$work/ours.times" 2)" -v d="$(median "$work/drawing-program.times" 2)" \
      'BEGIN { printf "ratio batch_vs_drawing_program: %.2f\n", b / d }'
  fi
fi
