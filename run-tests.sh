#!/usr/bin/env bash
# Sets up, builds and runs every test. Usage: ./run-tests.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")"
build_dir=${1:-build}
./setup.sh "$@"
ctest --test-dir "$build_dir" --output-on-failure -j2
