#!/usr/bin/env bash
# Converting a folder of pictures with orvane-render, the tool's main job:
# the sample pictures and the pictures of the test data, each copied ten
# times, drawn at --fit 512x512 once as one process per file and once as
# one --output-dir call with -j at its default. Prints the files per second
# of each and `ratio batch_vs_per_process: VALUE` (batch time / per-process
# time). Where a drawing program with a command-line export is installed,
# its batch export of the same metafiles to 512-pixel PNGs is timed too.
# Usage: bench/render_batch_bench.sh [path/to/orvane-render] (default build/tools/orvane-render)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-$root/build/tools/orvane-render}
copies=10
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/per-process" "$work/batch"

# Only pictures the tool draws: a file it refuses would time its refusal.
n=0
for picture in "$root"/demo/data/*.EMF "$root"/fuzz/corpus/{metafile,wmf,bmp,icon}/* "$root"/tests/backend/*.ico \
               "$root"/demo/resources/*.ico; do
  [ -f "$picture" ] || continue
  "$tool" --fit 16x16 "$picture" "$work/probe.png" 2>/dev/null || continue
  n=$((n + 1))
  base=$(basename "$picture")
  for ((i = 0; i < copies; i++)); do cp "$picture" "$work/in/$i-$n-$base"; done
done
inputs=("$work"/in/*)
count=${#inputs[@]}

now() { date +%s.%N; }
per_second() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.1f", n / s }'; }

start=$(now)
for input in "${inputs[@]}"; do
  name=$(basename "$input")
  "$tool" --fit 512x512 "$input" "$work/per-process/${name%.*}.png"
done
per_process=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')

start=$(now)
"$tool" --fit 512x512 --output-dir "$work/batch" "${inputs[@]}" 2>/dev/null
batch=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')

echo "files: $count ($n pictures x $copies), $(nproc) processors"
echo "per_process: $per_process s, $(per_second "$count" "$per_process") files/s"
echo "batch: $batch s, $(per_second "$count" "$batch") files/s"
awk -v b="$batch" -v p="$per_process" 'BEGIN { printf "ratio batch_vs_per_process: %.2f\n", b / p }'

# A drawing program's batch export of the same metafiles, where one is installed.
if command -v inkscape >/dev/null 2>&1; then
  mkdir -p "$work/drawing-program"
  cp "$work"/in/*.[eE][mM][fF] "$work/drawing-program/" 2>/dev/null || true
  metafiles=("$work"/drawing-program/*)
  if [ -f "${metafiles[0]}" ]; then
    start=$(now)
    inkscape --export-type=png --export-width=512 "${metafiles[@]}" >/dev/null 2>&1 || true
    drawing_program=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')
    start=$(now)
    "$tool" --fit 512x512 --output-dir "$work/batch" "${metafiles[@]}" 2>/dev/null
    ours=$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')
    echo "drawing_program: ${#metafiles[@]} metafiles, $(per_second "${#metafiles[@]}" "$drawing_program") files/s"
    awk -v b="$ours" -v d="$drawing_program" 'BEGIN { printf "ratio batch_vs_drawing_program: %.2f\n", b / d }'
  fi
fi
