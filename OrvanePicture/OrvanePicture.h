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
