#!/usr/bin/env bash
# Runs every fuzz target of a build: first each kept input of
# fuzz/regressions/<name>/ once, then fuzzing for a bounded time from its
# seeds in fuzz/corpus/<name>/ (new inputs go to a scratch directory, so the
# seeds stay as they are; fuzz/<name>.dict, where present, lends its
# tokens); crash and timeout inputs land in
# build-dir/fuzz-artifacts/. Usage: fuzz/run-all.sh build-dir [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build directory}
seconds=${2:-30}
status=0
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
for seeds in fuzz/corpus/*/; do
  name=$(basename "$seeds")
  binary="$build/fuzz/${name}_fuzzer"
  [ -x "$binary" ] || { echo "missing $binary" >&2; status=1; continue; }
  regressions="fuzz/regressions/$name"
  if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
    echo "== ${name}_fuzzer: replaying $(ls "$regressions" | wc -l) kept inputs"
    "$binary" -timeout=10 -rss_limit_mb=2048 "$regressions"/* || status=1
  fi
  scratch=$(mktemp -d)
  echo "== ${name}_fuzzer for ${seconds}s"
  dict=()
  [ -f "fuzz/${name}.dict" ] && dict=(-dict="fuzz/${name}.dict")
  "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${dict[@]}" \
    -artifact_prefix="$artifacts/${name}-" "$scratch" "$seeds" || status=1
  rm -rf "$scratch"
done
exit $status
