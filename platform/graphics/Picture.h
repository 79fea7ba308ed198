#pragma once
// TPicture: the picture container. It holds one graphic at most and owns it.
// Loading picks the graphic class by the file's extension, without regard to
// case ("wmf"/"emf" -> TMetafile, "bmp" -> TBitmap, "ico" -> TIcon); the new
// graphic replaces the held one only once it has loaded.

#include <memory>
#include <string>
#include <vector>

#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TMetafile;

class TPicture {
 public:
  TPicture() = default;
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // "Unbekannte Bilddateierweiterung (.%s)" for an unknown extension,
  // EFOpenError with the name as passed when the file cannot be opened, and
  // the graphic's own errors for bad data.
  void LoadFromFile(const std::string& fileName);

  TGraphic* Graphic() const { return graphic_.get(); }
  // The held graphic as a metafile: a graphic of another class, or none, is
  // first replaced by a new, empty metafile.
  TMetafile* Metafile();

  int32_t Width() const { return graphic_ ? graphic_->Width() : 0; }
  int32_t Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Takes a copy of another picture's graphic, of a graphic, or (nullptr) empties.
  void Assign(const TPicture* other);
  void Assign(const TGraphic* graphic);

  // The picture record of a form definition: class-name length (1 byte), the
  // class name, then the graphic's own data (for a metafile a 32-bit
  // little-endian byte count that includes itself, then the metafile). An
  // unknown class name leaves the picture empty; bad data raises.
  void ReadData(const uint8_t* data, size_t size);
  std::vector<uint8_t> WriteData() const;

 private:
  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
