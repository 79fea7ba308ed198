#!/usr/bin/env bash
# Rebuilds the demo's sample files and its embedded picture record from the
# path-data sources. Usage: tools/pictures/regenerate-demo-data.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake --build "$build" --target authored_pictures orvane-render
cp "$build/pictures/Socer.emf" demo/data/Socer.EMF
cp "$build/pictures/Bicycl.emf" demo/data/Bicycl.EMF
cp "$build/pictures/Hockey2.emf" demo/data/Hockey2.EMF
"$build/tools/orvane-render" --size 105x119 --quality high demo/data/Socer.EMF demo/data/Socer.OBM
python3 tools/pictures/make_picture_record.py "$build/pictures/embedded.emf" demo/resources/EmbeddedPicture.rec
