#pragma once
// What kind of picture some bytes hold, told from their first bytes, and
// the graphic class that reads it. Recognition looks at no more than the
// first 44 bytes and is safe on any bytes:
//   Emf           type 1 and " EMF" at offset 40 (an ENHMETAHEADER)
//   PlaceableWmf  the placeable key D7 CD C6 9A
//   StandardWmf   a WMF header without the placeable one: type 1 or 2, then
//                 a header size of 9 words
//   Gzip          the gzip magic 1F 8B: a compressed metafile (.emz, .wmz),
//                 whose inner kind is known only once it is inflated
//   Bmp           "BM"
//   Icon          reserved 0, type 1, at least one image
// Reading a picture from a file or a stream by its content is in
// PictureReading.h.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

enum class TPictureFormat : uint8_t { Unknown, Emf, PlaceableWmf, StandardWmf, Gzip, Bmp, Icon };

TPictureFormat RecognizePictureFormat(const uint8_t* data, size_t size);

// The format a file name's extension promises, without regard to case:
// "emf" Emf, "wmf" PlaceableWmf, "emz" and "wmz" Gzip, "bmp" Bmp, "ico"
// Icon; anything else (no extension, one only on a folder) Unknown.
TPictureFormat PictureFormatOfName(const std::string& fileName);

// A new, empty graphic of the class that loads the format (TMetafile for
// the metafiles and gzip, TBitmap, TIcon); nullptr for Unknown.
std::unique_ptr<TGraphic> NewGraphicFor(TPictureFormat format);

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
