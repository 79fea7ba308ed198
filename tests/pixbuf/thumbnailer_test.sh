#!/usr/bin/env bash
# gdk-pixbuf-thumbnailer through the loader module: each thumbnail of an
# EMF, a WMF and an .emz fits 128 x 128 and has the pixels orvane-render
# draws at the thumbnail's size. Run after prepare_pixbuf_tests.sh, with
# its loader cache and MIME database in the environment.
# Usage: thumbnailer_test.sh THUMBNAILER PROBE RENDER SOURCE_DIR WORK
set -euo pipefail
thumbnailer=$1 probe=$2 render=$3 source=$4 work=$5

system_tool() {
  if [ -n "${SYSTEM_TOOL_PRELOAD:-}" ]; then
    LD_PRELOAD=$SYSTEM_TOOL_PRELOAD ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 "$@"
  else
    "$@"
  fi
}

status=0
for picture in "$source/demo/data/Socer.EMF" "$source/fuzz/corpus/wmf/shapes.wmf" "$work/shapes.emz"; do
  thumbnail=$work/thumbnail-$(basename "$picture").png
  rm -f "$thumbnail"
  if ! system_tool "$thumbnailer" -s 128 "$picture" "$thumbnail"; then
    echo "FAIL: gdk-pixbuf-thumbnailer $picture" >&2
    status=1
    continue
  fi
  "$probe" --same-as-render "$render" "$picture" "$thumbnail" 128 || status=1
done
exit $status
