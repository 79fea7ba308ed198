#pragma once
// The OrvanePicture package: anti-aliased drawing of pictures.

#include "OrvanePicture/ColorTriple.h"
#include "OrvanePicture/FastBMP.h"
#include "OrvanePicture/FilteredDraw.h"
#include "OrvanePicture/OrvaneBitmap.h"
#include "OrvanePicture/OrvaneImage.h"
#include "OrvanePicture/Quality.h"
