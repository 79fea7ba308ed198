#!/usr/bin/env bash
# Readies the loader module's tests in WORK: a loader cache naming only the
# built module, made by gdk-pixbuf-query-loaders, whose listing must show
# the module's formats; a MIME database with the compressed metafiles'
# types, searched before the system's; and shapes.emz, gzip of a metafile
# of the tree. In sanitizer builds SYSTEM_TOOL_PRELOAD names the runtime
# the system's programs need preloaded to load the instrumented module.
# Usage: prepare_pixbuf_tests.sh QUERY_LOADERS MODULE MIME_XML SOURCE_DIR WORK
set -euo pipefail
query=$1 module=$2 mime_xml=$3 source=$4 work=$5

system_tool() {
  if [ -n "${SYSTEM_TOOL_PRELOAD:-}" ]; then
    LD_PRELOAD=$SYSTEM_TOOL_PRELOAD ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 "$@"
  else
    "$@"
  fi
}
fail() { echo "prepare_pixbuf_tests: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/share/mime/packages"

system_tool "$query" "$module" > "$work/loaders.cache"
cache=$work/loaders.cache
grep -qxF "\"$module\"" "$cache" || fail "the listing does not name $module"
# Name and flags: scalable (2) and thread-safe (4).
grep -q '^"orvane-metafile" 6 ' "$cache" || fail "no format orvane-metafile, scalable and thread-safe"
for word in image/emf image/x-emf image/wmf image/x-wmf image/x-emf-compressed image/x-wmf-compressed \
            emf wmf emz wmz; do
  grep -qF "\"$word\"" "$cache" || fail "the listing lacks $word"
done

cp "$mime_xml" "$work/share/mime/packages/orvane-picture.xml"
XDG_DATA_DIRS=$work/share update-mime-database "$work/share/mime"
gzip -c -n "$source/fuzz/corpus/metafile/shapes.emf" > "$work/shapes.emz"
echo "prepare_pixbuf_tests: module listed with its formats; cache, MIME database and shapes.emz in $work"
