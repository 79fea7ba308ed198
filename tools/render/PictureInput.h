#pragma once
// The pictures orvane-render reads: the bytes of a file or of standard
// input, the graphic class chosen by content (by the name's extension when
// the content says nothing; see orvane/graphics/PictureFormat.h), and the
// picture's physical size.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <orvane/graphics/Graphic.h>
#include <orvane/graphics/PictureFormat.h>

namespace orvanetools {

struct LoadedPicture {
  std::unique_ptr<orvane::vcl::TGraphic> graphic;
  orvane::vcl::TPictureFormat kind = orvane::vcl::TPictureFormat::Unknown;
  // The physical size: a metafile's frame, a BMP's size at its resolution
  // (96 dpi when it has none), an icon's at 96 dpi.
  double inchesWide = 0;
  double inchesHigh = 0;
};

// The bytes of a file, or of standard input for "-", read only as far as the
// header of the kind the first bytes show claims (of an input no reader
// knows, only its first bytes); a gzip-compressed metafile comes inflated
// (orvane/graphics/PictureReading.h). Raises the runtime's file errors
// ("Datei ... kann nicht geöffnet werden" for a file that cannot be
// opened), EOutOfMemory for a claim over 1 GiB.
std::vector<uint8_t> ReadInput(const std::string& input);

// Loads the picture `bytes` hold; `name` supplies the extension to fall back
// on. Raises EInvalidGraphic "Unbekannte Bilddateierweiterung" when neither
// tells the kind, and the graphic's own errors for bad data; a metafile
// whose header gives no positive size is "Metadatei ist ungültig".
LoadedPicture LoadPicture(const std::string& name, const std::vector<uint8_t>& bytes);

}  // namespace orvanetools
