#!/usr/bin/env bash
# The package as a stranger gets it: configure the libraries alone (no SDL2,
# GoogleTest or Google Benchmark looked for), build them shared, install into
# a temporary prefix, and build the example against that prefix only, once
# through find_package and once through pkg-config; then the same against
# the Debian package's files unpacked with dpkg-deb -x. Each installed
# header must compile on its own, and no internal one may be installed. Every program must
# draw the PNG that orvane-render draws, and none may link SDL2.
# Usage: .ci/check-install.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build-install}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

picture=$root/demo/data/Socer.EMF
thin_picture=$root/fuzz/corpus/metafile/shapes.emf  # one-pixel pens: thin-line modes differ
size=(123 97)
quality=3

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DORVANE_BUILD_TESTS=OFF -DORVANE_BUILD_DEMO=OFF -DORVANE_BUILD_BENCH=OFF -DORVANE_SDL_BACKEND=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_SDL2=ON -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON
cmake --build "$build"
cmake --install "$build" --prefix "$work/prefix"

fail() { echo "check-install: $*" >&2; exit 1; }

# check_prefix PREFIX LABEL: the example built and run both ways against PREFIX.
check_prefix() {
  local prefix=$1 label=$2 libdir
  libdir=$(dirname "$(find "$prefix" -name 'liborvane-picture.so' | head -1)")
  [ -n "$libdir" ] || fail "$label: no liborvane-picture.so"
  [ -f "$prefix/include/orvane/OrvanePicture.h" ] || fail "$label: headers missing"
  [ -z "$(find "$prefix/include/orvane" -path '*/detail/*' -print -quit)" ] || fail "$label: internal headers installed"
  [ -z "$(find "$prefix/include/orvane" -type l -print -quit)" ] || fail "$label: headers installed as links into the build"

  # Every installed header stands alone: compiled by itself against the
  # installed headers only. A public header that needs an internal one fails here.
  local header relative
  while IFS= read -r header; do
    relative=${header#"$prefix/include/"}
    printf '#include <%s>\n' "$relative" |
      g++ -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I"$prefix/include" -x c++ - ||
      fail "$label: <$relative> does not compile on its own"
  done < <(find "$prefix/include/orvane" -name '*.h' | sort)
  [ -f "$prefix/share/man/man1/orvane-render.1" ] || fail "$label: manual page missing"
  [ -f "$prefix/share/thumbnailers/orvane-picture.thumbnailer" ] || fail "$label: thumbnailer entry missing"

  # The tool finds its library beside it, wherever the prefix is.
  # Thin lines both ways: the tool's default (one pixel) and exact.
  local p thin
  for p in "$picture" "$thin_picture"; do
    for thin in one-pixel exact; do
      "$prefix/bin/orvane-render" --size "${size[0]}x${size[1]}" --quality high --thin-lines "$thin" \
        --background "#FFFFFF" "$p" "$work/$label-tool-$(basename "$p")-$thin.png"
    done
  done
  cmp -s "$work/$label-tool-shapes.emf-one-pixel.png" "$work/$label-tool-shapes.emf-exact.png" &&
    fail "$label: --thin-lines changes nothing"
  local version
  version=$("$prefix/bin/orvane-render" --version)
  grep -q "set(PACKAGE_VERSION \"${version#orvane-render }\")" "$libdir/cmake/OrvanePicture/OrvanePictureConfigVersion.cmake" \
    || fail "$label: '$version' is not the package's version"

  cmake -S examples/draw-to-png -B "$work/$label-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix"
  cmake --build "$work/$label-cmake"
  local by_cmake=$work/$label-cmake/draw-to-png
  local by_pc=$work/$label-pkg-config
  local pc=(env PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config)
  # shellcheck disable=SC2046
  g++ -std=c++20 -o "$by_pc" examples/draw-to-png/main.cpp $("${pc[@]}" --cflags --libs orvane-picture)

  # Every name a program needs, unqualified after one include and one using-directive.
  g++ -std=c++20 -fsyntax-only -x c++ - $("${pc[@]}" --cflags orvane-picture) <<'CPP'
#include <orvane/OrvanePicture.h>
using namespace orvane;
void Names(TPicture& p, TMetafile& m, TBitmap& b, TCanvas& c, const TGraphic* g, TFastBMP& f, TOrvaneBitmap& s) {
  const TRect r = Rect(0, 0, 9, 9);
  const TOrvanePictureQuality levels[] = {opqVeryLow, opqLow, opqMed, opqHigh, opqVeryHigh};
  OrvaneStretchDraw(c, r, g, levels[3]);
  FilteredDraw(c, 0, 0, m, opqHigh, 1.5, 1.5);
  s.Render(p.Graphic(), 4, 4, opqLow);
  SavePng(b, "x.png", &f);
  auto coverage = LoadPng(b, "x.png");
  try { throw EOutOfMemory(); } catch (const Exception&) {}
  try { throw EInvalidGraphic("x"); } catch (const EFOpenError&) {} catch (const EInvalidOperation&) {}
}
CPP
  for program in "$by_cmake" "$by_pc"; do
    if LD_LIBRARY_PATH=$libdir ldd "$program" | grep -q libSDL2; then fail "$label: $program links SDL2"; fi
    for p in "$picture" "$thin_picture"; do
      for thin in exact one-pixel; do
        local out=$program-$(basename "$p")-$thin.png
        LD_LIBRARY_PATH=$libdir "$program" "$p" "${size[0]}" "${size[1]}" "$quality" "$out" "$thin"
        cmp "$out" "$work/$label-tool-$(basename "$p")-$thin.png" ||
          fail "$label: $program draws another PNG than orvane-render ($(basename "$p"), $thin thin lines)"
      done
    done
  done
  echo "check-install: $label: example built with find_package and pkg-config, same PNG as orvane-render"
  check_c_interface "$prefix" "$label" "$libdir"
}

# check_c_interface PREFIX LABEL LIBDIR: liborvane exports only the C
# functions; the C test program, built against the installed header and
# library through pkg-config, and the Python module's tests, with the module
# finding the library from where it is installed, pass against PREFIX.
check_c_interface() {
  local prefix=$1 label=$2 libdir=$3
  local library=$libdir/liborvane.so.0
  [ -f "$library" ] || fail "$label: no liborvane.so.0"
  readelf -d "$library" | grep -q 'SONAME.*\[liborvane\.so\.0\]' || fail "$label: liborvane's SONAME is not liborvane.so.0"
  local foreign
  foreign=$(nm -D --defined-only "$library" | awk '$3 !~ /^(orvane_|ORVANE_)/ {print $3}')
  [ -z "$foreign" ] || fail "$label: liborvane exports more than the C interface: $(echo $foreign | head -c 300)"
  printf '#include <orvane/orvane.h>\n' |
    gcc -std=c11 -pedantic -Wall -Wextra -Werror -fsyntax-only -I"$prefix/include" -x c - ||
    fail "$label: <orvane/orvane.h> does not compile as C11"
  local program=$work/$label-capi-test
  # shellcheck disable=SC2046
  gcc -std=c11 -Wall -Werror -pedantic -o "$program" tests/capi/capi_test.c \
    $(env PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs orvane libpng)
  mkdir -p "$work/$label-capi"
  LD_LIBRARY_PATH=$libdir "$program" "$root" "$prefix/bin/orvane-render" "$work/$label-capi" ||
    fail "$label: the C test program fails against the installed library"
  local modules=$prefix/lib/python3/dist-packages
  [ -f "$modules/orvane/__init__.py" ] || fail "$label: the Python module is not in lib/python3/dist-packages"
  env -u ORVANE_LIBRARY -u LD_LIBRARY_PATH PYTHONPATH="$modules" PYTHONDONTWRITEBYTECODE=1 \
    ORVANE_RENDER="$prefix/bin/orvane-render" ORVANE_SOURCE_DIR="$root" \
    /usr/bin/python3 -m unittest discover -s tests/python ||
    fail "$label: the Python module's tests fail against the installed module"
  echo "check-install: $label: C interface and Python module pass their tests"
}

# check_pixbuf_loader PREFIX LABEL: where gdk-pixbuf's development files are
# found, the loader module is in gdk-pixbuf's loader folder below PREFIX,
# gdk-pixbuf-query-loaders lists it with its formats, and the MIME types of
# the compressed metafiles are installed.
check_pixbuf_loader() {
  local prefix=$1 label=$2
  pkg-config --exists gdk-pixbuf-2.0 || return 0
  local moduledir module query
  moduledir=$(pkg-config --define-variable=prefix="$prefix" --variable gdk_pixbuf_moduledir gdk-pixbuf-2.0)
  module=$moduledir/libpixbufloader-orvane-metafile.so
  [ -f "$module" ] || fail "$label: no gdk-pixbuf loader module in $moduledir"
  query=$(pkg-config --variable gdk_pixbuf_query_loaders gdk-pixbuf-2.0)
  "$query" "$module" > "$work/$label-loaders.cache"
  grep -qxF "\"$module\"" "$work/$label-loaders.cache" && grep -qF '"image/emf"' "$work/$label-loaders.cache" ||
    fail "$label: gdk-pixbuf-query-loaders does not list the loader module's formats"
  [ -f "$prefix/share/mime/packages/orvane-picture.xml" ] || fail "$label: MIME types of .emz and .wmz missing"
  echo "check-install: $label: gdk-pixbuf loader module installed and listed"
}

check_prefix "$work/prefix" installed
check_pixbuf_loader "$work/prefix" installed

(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/orvane-picture_*.deb)
dpkg-deb -x "$deb" "$work/deb"
dpkg-deb -f "$deb" Depends | grep -q libpng || fail "the package does not depend on libpng"
check_prefix "$work/deb/usr" deb
check_pixbuf_loader "$work/deb/usr" deb
if pkg-config --exists gdk-pixbuf-2.0; then
  dpkg-deb -I "$deb" postinst | grep -q 'dpkg-trigger --no-await' ||
    fail "the package's postinst does not have gdk-pixbuf's loader cache rebuilt"
fi
