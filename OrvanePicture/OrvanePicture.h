#pragma once
// The OrvanePicture package: anti-aliased drawing of pictures.

#include <orvane/ColorTriple.h>
#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/OrvaneImage.h>
#include <orvane/Quality.h>
