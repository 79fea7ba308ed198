#pragma once
// The OrvanePicture package: anti-aliased drawing of pictures (enhanced
// metafiles, placeable WMF, bitmaps, icons) at any size over what a canvas
// already shows, with sprites, sprite files and PNG files.
//
// After `using namespace orvane;` the names a drawing program needs are at
// hand unqualified: the picture container and graphics (TPicture,
// TMetafile, TBitmap, TIcon, TGraphic, TCanvas, TRect, Rect), the filtered
// drawing (OrvaneStretchDraw, FilteredDraw, RenderFiltered,
// TOrvanePictureQuality and its levels), the rasters (TFastBMP,
// TOrvaneBitmap), PNG files (SavePng, LoadPng) and the runtime's
// exceptions (Exception and its descendants). The rest of the platform
// layer stays in orvane::vcl, orvane::gdi and orvane::rtl.
//
// Threads: different pictures may be loaded and drawn into different
// bitmaps from several threads at once (OrvaneStretchDraw, FilteredDraw,
// RenderFiltered, TCanvas::StretchDraw, TPicture and TMetafile loading,
// PNG files), as long as no single object (picture, graphic, bitmap,
// canvas, TFastBMP, TOrvaneBitmap) is used by two threads at the same time;
// copies of a metafile share immutable bytes and may go to different
// threads. State shared by the whole process: the recycled pixel memory
// (a mutex); the glyph and face cache, which owns the FreeType library and
// faces (one mutex, held while a glyph is looked up or rendered, not while
// it is painted); the fontconfig face-name cache (its own mutex, taken only
// inside the glyph-cache lock); live-object counters, the band budget and
// the rendering switch for tests (atomics); processor-feature and constant
// tables (initialised once). Scratch buffers, the repeated-fill memo and the
// span recorders' kept memory blocks are per thread. The toolkit
// (Orvane::Forms) belongs to one thread.

#include <orvane/ColorTriple.h>
#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/Png.h>
#include <orvane/Quality.h>
#include <orvane/Version.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Canvas.h>
#include <orvane/graphics/Graphic.h>
#include <orvane/graphics/GraphicsTypes.h>
#include <orvane/graphics/Icon.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Exceptions.h>

namespace orvane {

using vcl::Rect;
using vcl::TBitmap;
using vcl::TCanvas;
using vcl::TColor;
using vcl::TGraphic;
using vcl::TIcon;
using vcl::TMetafile;
using vcl::TPicture;
using vcl::TRect;

using rtl::EAbort;
using rtl::EFOpenError;
using rtl::EFormDefinitionError;
using rtl::EInOutError;
using rtl::EInvalidGraphic;
using rtl::EInvalidOp;
using rtl::EInvalidOperation;
using rtl::EMathError;
using rtl::EOutOfMemory;
using rtl::EOutOfResources;
using rtl::EReadError;
using rtl::EResNotFound;
using rtl::EStreamError;
using rtl::EZeroDivide;
using rtl::Exception;

}  // namespace orvane
