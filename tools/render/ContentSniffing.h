#pragma once
// What kind of picture a file holds, told from its first bytes: an enhanced
// metafile by its header record and signature, a placeable WMF by its key,
// a BMP by "BM", an icon by its directory header. Safe on any bytes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvanetools {

enum class PictureKind { Unknown, Emf, PlaceableWmf, Bmp, Icon };

PictureKind SniffPictureKind(const uint8_t* data, size_t size);

// The kind a file name's extension promises ("emf", "wmf", "bmp", "ico", any case).
PictureKind PictureKindOfName(const std::string& fileName);

}  // namespace orvanetools
