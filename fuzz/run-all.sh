#!/usr/bin/env bash
# Runs every fuzz target built in a build directory for a bounded time,
# starting from its seeds in fuzz/corpus/<target>/ (left unchanged; new inputs
# go to a scratch folder). Usage: fuzz/run-all.sh [build-dir] [seconds per target]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
seconds=${2:-${FUZZ_SECONDS:-30}}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
found=0
for fuzzer in "$build_dir"/fuzz/*_fuzzer; do
  [ -x "$fuzzer" ] || continue
  found=1
  name=$(basename "$fuzzer")
  mkdir -p "$scratch/$name"
  seeds=()
  [ -d "fuzz/corpus/$name" ] && seeds=("fuzz/corpus/$name")
  echo "== $name: ${seconds}s"
  set +e
  "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$scratch/$name-" "$scratch/$name" "${seeds[@]}" >"$scratch/$name.log" 2>&1
  status=$?
  set -e
  tail -n 12 "$scratch/$name.log"
  if [ "$status" -ne 0 ]; then
    echo "$name failed; the input that failed:"
    ls "$scratch/$name"-* 2>/dev/null || true
    mkdir -p "$build_dir/fuzz-artifacts" && cp "$scratch/$name"-* "$build_dir/fuzz-artifacts/" 2>/dev/null || true
    exit "$status"
  fi
done
[ "$found" -eq 1 ] || { echo "no fuzz targets in $build_dir/fuzz"; exit 1; }
